#!/usr/bin/env bash
# Runs a command while the sample update server serves, and stops the server
# afterwards whatever the command's outcome:
#   run_with_server.sh STATE_DIR [server options] -- command [args]
# The server's event log is STATE_DIR/server.log and its pid STATE_DIR/server.pid.
#   run_with_server.sh --stop STATE_DIR
# ends a server that an interrupted run left behind (for a test's clean-up step).
set -u
here=$(cd "$(dirname "$0")" && pwd)

stop_server() {
  local pidfile=$1/server.pid pid
  [ -f "$pidfile" ] || return 0
  pid=$(cat "$pidfile")
  if kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
  fi
  rm -f "$pidfile"
}

if [ "${1:-}" = "--stop" ]; then
  stop_server "$2"
  exit 0
fi

state=$1; shift
server_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do server_args+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
[ $# -gt 0 ] || { echo "run_with_server: no command given" >&2; exit 2; }

mkdir -p "$state"
stop_server "$state"
rm -f "$state/ready" "$state/server.log"
: >"$state/server.log"
/usr/bin/python3 "$here/update_server.py" --log "$state/server.log" --ready-file "$state/ready" \
  "${server_args[@]}" </dev/null >"$state/server.out" 2>&1 &
echo $! >"$state/server.pid"
trap 'stop_server "$state"' EXIT

for _ in $(seq 1 100); do
  [ -e "$state/ready" ] && break
  kill -0 "$(cat "$state/server.pid")" 2>/dev/null || break
  sleep 0.1
done
if [ ! -e "$state/ready" ]; then
  echo "run_with_server: the update server did not start" >&2
  cat "$state/server.out" >&2
  exit 1
fi

"$@"
