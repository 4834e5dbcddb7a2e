#!/usr/bin/env bash
# Runs the catalogue end-to-end test program on a simulated "marbo K4 EX" while
# the sample update server serves the sample catalogue tree as the secondary
# server (127.0.0.2:2121).
#   run.sh STATE_DIR WINE_RUN TEST_EXE [args]
set -eu
state=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
exec "$root/tests/wine/catalogue/run.sh" "$state" 2121 \
  "$root/tests/harness/simulated-device" --vendor PVMF_Parvoni --product "PVMD_K4 EX" \
  --serial PVSN_9HK40001 -- "$@"
