#!/usr/bin/env bash
# Serves an empty self-update tree on the primary server (127.0.0.1:2121) with
# the transfer faults of STATE_DIR/faults.json, and runs the test program under
# Wine; the test fills the tree for each case through Wine's Z: drive.
#   run.sh STATE_DIR SETUP_PACKAGE WINE_RUN TEST_EXE [args]
set -eu
state=$1 package=$2 wine_run=$3; shift 3
root=$(cd "$(dirname "$0")/../../.." && pwd)

rm -rf "$state/tree"
mkdir -p "$state/tree"
cp "$package" "$state/next-setup.exe"
echo '{}' >"$state/faults.json"

export TESSEL_FTP_STATE=$state
exec "$root/tools/update_server/run_with_server.sh" "$state" --primary "$state/tree" \
  --faults "$state/faults.json" --refusal-delay 0 -- "$wine_run" "$@"
