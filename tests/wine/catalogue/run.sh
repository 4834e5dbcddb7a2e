#!/usr/bin/env bash
# Builds the sample catalogue tree, then runs a test command while the sample
# update server serves it as the secondary server (127.0.0.2) on PORT.
#   run.sh STATE_DIR PORT command [args]
# The command finds the tree in TESSEL_CATALOGUE_TREE and the server's state
# folder (its event log) in TESSEL_FTP_STATE. TESSEL_SERVER_OPTIONS adds server
# options (for example "--reply-delay 0.3").
set -eu
state=$1 port=$2; shift 2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)

tree=$state/tree
rm -rf "$tree"
/usr/bin/python3 "$here/make_tree.py" "$tree" sample

export TESSEL_FTP_STATE=$state TESSEL_FTP_PORT=$port TESSEL_CATALOGUE_TREE=$tree
# shellcheck disable=SC2086
exec "$root/tools/update_server/run_with_server.sh" "$state" --port "$port" \
  --secondary "$tree" ${TESSEL_SERVER_OPTIONS:-} -- "$@"
