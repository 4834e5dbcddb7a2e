#!/usr/bin/env bash
# Builds the server tree the FTP access tests list, then runs the test program
# under Wine while the sample update server serves the tree on 127.0.0.1 and a
# silent server listens on 127.0.0.2, both on PORT. The tree is served as the
# secondary server, the one where devices may create their report folders.
#   run.sh STATE_DIR PORT WINE_RUN TEST_EXE [gtest args]
set -eu
state=$1 port=$2 wine_run=$3; shift 3
root=$(cd "$(dirname "$0")/../../.." && pwd)

tree=$state/tree
rm -rf "$tree"
mkdir -p "$tree/onlyfolders/first" "$tree/onlyfolders/second" \
         "$tree/onlyfiles" "$tree/mixed/sub" "$tree/empty" "$tree/[MID]"
printf 'hello' >"$tree/onlyfiles/a.txt"
head -c 1536 /dev/zero >"$tree/onlyfiles/b.bin"
printf 'x' >"$tree/mixed/readme.txt"

export TESSEL_FTP_STATE=$state TESSEL_FTP_PORT=$port
exec "$root/tools/update_server/run_with_server.sh" "$state" --port "$port" \
  --secondary "$tree" --secondary-address 127.0.0.1 \
  --silent-primary --primary-address 127.0.0.2 --refusal-delay 0 -- "$wine_run" "$@"
