#!/usr/bin/env bash
# Writes the update trees and runs the test program under Wine while the sample
# update server serves them (primary 127.0.0.1, secondary 127.0.0.2, port 2121).
#   run.sh STATE_DIR STANDIN_EXE MSI|- WINE_RUN TEST_EXE [args]
set -eu
state=$1 standin=$2 msi=$3 wine_run=$4; shift 4
root=$(cd "$(dirname "$0")/../../.." && pwd)

[ "$msi" = "-" ] && msi=""
/usr/bin/python3 "$root/samples/update/make_update_tree.py" "$state/tree" "$standin" $msi --large-viewer
echo '{}' >"$state/faults.json"
export TESSEL_EXPECT_MSI=$([ -n "$msi" ] && echo 1 || echo 0)
export TESSEL_FTP_STATE=$state
exec "$root/tools/update_server/run_with_server.sh" "$state" --primary "$state/tree/primary" \
  --secondary "$state/tree/secondary" --faults "$state/faults.json" --refusal-delay 0 \
  -- "$wine_run" "$@"
