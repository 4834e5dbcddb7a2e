#!/usr/bin/env bash
# Builds the tree the download tests fetch from, then runs the test program
# under Wine while the sample update server serves it on 127.0.0.1:PORT with the
# transfer faults of STATE_DIR/faults.json.
#   run.sh STATE_DIR PORT WINE_RUN TEST_EXE [gtest args]
set -eu
state=$1 port=$2 wine_run=$3; shift 3
root=$(cd "$(dirname "$0")/../../.." && pwd)

tree=$state/tree
rm -rf "$tree"
mkdir -p "$tree/files" "$tree/empty"
/usr/bin/python3 - "$tree/files" <<'PY'
import os, sys
out = sys.argv[1]
def pattern(n, seed):
    return bytes((i * 7 + seed + i // 251) % 256 for i in range(n))
for name, size, seed in [("small.bin", 1536, 1), ("seven.bin", 700, 2), ("big.bin", 3000000, 3),
                         ("with blank.bin", 5000, 4), ("stall.bin", 200000, 5),
                         ("silent.bin", 200000, 6), ("grow.bin", 2048, 7),
                         ("kill.bin", 3000000, 8)]:
    with open(os.path.join(out, name), "wb") as f:
        f.write(pattern(size, seed))
PY
cat >"$state/faults.json" <<'JSON'
{"stall.bin": {"stall_after": 4096, "stall_seconds": 16},
 "silent.bin": {"stall_after": 4096, "stall_seconds": 8},
 "grow.bin": {"grow_by": 952},
 "kill.bin": {"kill_after": 65536}}
JSON

export TESSEL_FTP_STATE=$state TESSEL_FTP_PORT=$port
exec "$root/tools/update_server/run_with_server.sh" "$state" --port "$port" \
  --primary "$tree" --faults "$state/faults.json" --refusal-delay 0 -- "$wine_run" "$@"
