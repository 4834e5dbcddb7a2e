#!/usr/bin/env bash
# Builds the sample catalogue tree, then runs a test command while the sample
# update server serves it as the secondary server (127.0.0.2) on PORT.
#   run.sh STATE_DIR PORT command [args]
# The command finds the tree in TESSEL_CATALOGUE_TREE and the server's state
# folder (its event log) in TESSEL_FTP_STATE.
set -eu
state=$1 port=$2; shift 2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)

tree=$state/tree
rm -rf "$tree"
/usr/bin/python3 "$here/make_tree.py" "$tree" sample

export TESSEL_FTP_STATE=$state TESSEL_FTP_PORT=$port TESSEL_CATALOGUE_TREE=$tree
exec "$root/tools/update_server/run_with_server.sh" "$state" --port "$port" \
  --secondary "$tree" -- "$@"
