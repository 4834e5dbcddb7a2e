#!/usr/bin/env bash
# Writes the update trees and runs the test program under Wine while the sample
# update server serves them (primary 127.0.0.1, secondary 127.0.0.2, port 2121).
#   run.sh STATE_DIR STANDIN_EXE MSI|- WINE_RUN TEST_EXE [args]
set -eu
state=$1 standin=$2 msi=$3 wine_run=$4; shift 4
root=$(cd "$(dirname "$0")/../../.." && pwd)

[ "$msi" = "-" ] && msi=""
/usr/bin/python3 "$root/samples/update/make_update_tree.py" "$state/tree" "$standin" $msi --large-viewer
# Both trees are signed with the sample key, as a signed release's would be: a
# keyless Tessel must not notice, a signed-mode one walks the index.
# TESSEL_CATALOG_EXE is the Windows tessel-catalog, run in the prefix.
if [ -n "${TESSEL_CATALOG_EXE:-}" ]; then
  key=$(wine winepath -w "$root/samples/release-key/sample-release.private-key" 2>/dev/null | tr -d '\r')
  sign() { wine "$TESSEL_CATALOG_EXE" sign "$(wine winepath -w "$1" 2>/dev/null | tr -d '\r')" \
             --key "$key" "${@:2}" >>"$state/signing.log" 2>&1 \
             || { echo "run.sh: signing $1 failed:" >&2; cat "$state/signing.log" >&2; exit 1; }; }
  : >"$state/signing.log"
  # Another model's tree, whose index a test copies over marbo K4's.
  mkdir -p "$state/tree/secondary/[MID]/marbo K9/9HK4/Setup/Viewer/2.0"
  cp "$state/tree/secondary/[MID]/marbo K4/9HK4/Setup/Viewer/2.0/Viewer.zip" \
     "$state/tree/secondary/[MID]/marbo K9/9HK4/Setup/Viewer/2.0/"
  # An older index of marbo K4 kept aside, then every tree signed anew.
  sign "$state/tree/secondary" --tree "/[MID]/marbo K4" --serial 5
  mkdir -p "$state/tree/aside"
  cp "$state/tree/secondary/[MID]/marbo K4.tessel-index" "$state/tree/aside/serial5.tessel-index"
  sign "$state/tree/secondary" --serial 6
  # The primary tree holds no newer Tessel here: nothing to sign there.
  if [ -n "$(ls -A "$state/tree/primary")" ]; then sign "$state/tree/primary"; fi
  [ -f "$state/tree/secondary/[MID]/marbo K4.tessel-index" ] || { echo "run.sh: signing failed" >&2; exit 1; }
fi
echo '{}' >"$state/faults.json"
export TESSEL_EXPECT_MSI=$([ -n "$msi" ] && echo 1 || echo 0)
export TESSEL_FTP_STATE=$state
exec "$root/tools/update_server/run_with_server.sh" "$state" --primary "$state/tree/primary" \
  --secondary "$state/tree/secondary" --faults "$state/faults.json" --refusal-delay 0 \
  -- "$wine_run" "$@"
