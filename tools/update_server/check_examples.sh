#!/usr/bin/env bash
# Runs the production examples of docs/update-server.md as they stand (the
# set-up commands, vsftpd's two instances, ProFTPD's two virtual hosts) on
# 127.0.0.1 and 127.0.0.2 with trees of its own, and check_rights.py against
# each server. For a scratch machine, as root: it installs vsftpd and then
# ProFTPD in its place (Debian's packages conflict), adds the account and the
# PAM file, and removes what it added when it ends.
#   check_examples.sh [PORT]      (default 2151; the product's 2121 stays free)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
doc=$root/docs/update-server.md
port=${1:-2151}
user=Ardwen3318
[ "$(id -u)" -eq 0 ] || { echo "check_examples: run as root" >&2; exit 2; }

work=$(mktemp -d /tmp/tessel-examples.XXXXXX)
chmod 755 "$work"
pids=() added_user=0 added_files=() installed=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -f "${added_files[@]}"
  [ "$added_user" -eq 1 ] && userdel "$user"
  [ ${#installed[@]} -gt 0 ] && DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq "${installed[@]}" >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The text of the code block after "<!-- example: NAME -->".
example() {
  awk -v mark="<!-- example: $1 -->" '
    $0 == mark { found = 1; next }
    found && /^```/ { if (++fences == 2) exit; next }
    found && fences == 1 { print }' "$doc"
}
# The examples' addresses, port and paths, moved to this machine's loopback.
localize() {
  sed -e "s#203\.0\.113\.10#127.0.0.1#g; s#203\.0\.113\.20#127.0.0.2#g" \
      -e "s#/srv/tessel#$work/srv#g; s#\b2121\b#$port#g" \
      -e "s#/etc/vsftpd\.user_list#$work/vsftpd.user_list#g"
}
install_package() {
  [ "$(dpkg-query -W -f '${db:Status-Status}' "$1" 2>/dev/null)" = installed ] && return 0
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$1" >/dev/null \
    || { echo "check_examples: cannot install $1" >&2; exit 2; }
  installed=("$1")
}
wait_listening() {  # address
  for _ in $(seq 1 50); do
    (exec 3<>"/dev/tcp/$1/$port") 2>/dev/null && return 0
    sleep 0.1
  done
  echo "check_examples: nothing listens on $1:$port" >&2
  return 1
}

failed=0
check() {  # title, primary-args..., -- secondary-args...
  echo "== $1"
  /usr/bin/python3 "$here/check_rights.py" --role primary --host 127.0.0.1 --port "$port" \
    --folder /Korea/PC/TesselMIDSetup --file "/Korea/PC/TesselMIDSetup/1.2.E/TesselMIDSetup 1.2.E.exe" \
    || failed=1
  /usr/bin/python3 "$here/check_rights.py" --role secondary --host 127.0.0.2 --port "$port" \
    --folder "/[MID]/K4" --file "/[MID]/K4/0000/Setup/Viewer/1.0/Viewer.zip" || failed=1
}
stop_servers() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  pids=()
}

# The account and the two roots, by the example's own commands.
id "$user" >/dev/null 2>&1 || added_user=1
example setup | localize | while read -r line; do
  case $line in useradd*) [ "$added_user" -eq 1 ] || continue ;; esac
  bash -c "$line" || exit 1
done || exit 2
for tree in primary secondary; do
  /usr/bin/python3 -c "import sys; sys.path.insert(0, sys.argv[1]); \
import update_server_rights_test as t; t.make_tree(sys.argv[2])" \
    "$root/tests/unit/update_server" "$work/srv/$tree"
done
chmod -R a+rX "$work/srv"

# vsftpd: the secondary's file, and the primary's as the same with its lines changed.
install_package vsftpd
echo "$user" >"$work/vsftpd.user_list"
example vsftpd-pam >/etc/pam.d/vsftpd-tessel
added_files+=(/etc/pam.d/vsftpd-tessel)
example vsftpd-secondary | localize >"$work/vsftpd-secondary.conf"
cp "$work/vsftpd-secondary.conf" "$work/vsftpd-primary.conf"
example vsftpd-primary | localize | while IFS='=' read -r key value; do
  sed -i "s#^$key=.*#$key=$value#" "$work/vsftpd-primary.conf"
done
for role in primary secondary; do
  # vsftpd writes its start-up errors to standard input (it expects a socket there).
  vsftpd "$work/vsftpd-$role.conf" >>"$work/vsftpd.log" 0>&1 2>&1 &
  pids+=($!)
done
wait_listening 127.0.0.1 && wait_listening 127.0.0.2 || { cat "$work/vsftpd.log"; exit 1; }
check "vsftpd $(dpkg-query -W -f '${Version}' vsftpd)"
stop_servers

# ProFTPD: Debian's proftpd.conf with its default server off and the example
# in place of conf.d.
installed=()  # apt removes vsftpd as ProFTPD comes in
install_package proftpd-core
example proftpd | localize >"$work/tessel.conf"
sed -e 's/^Port[[:space:]]\+21$/Port 0/' \
    -e "s#^Include /etc/proftpd/conf.d/#Include $work/tessel.conf#" \
    -e "s#^\(TransferLog\|SystemLog\) .*#\1 $work/proftpd-\1.log#" \
    /etc/proftpd/proftpd.conf >"$work/proftpd.conf"
printf 'PidFile %s\nScoreboardFile %s\n' "$work/proftpd.pid" "$work/proftpd.scoreboard" >>"$work/proftpd.conf"
proftpd -n -c "$work/proftpd.conf" >>"$work/proftpd.log" 2>&1 &
pids+=($!)
wait_listening 127.0.0.1 && wait_listening 127.0.0.2 || { cat "$work/proftpd.log"; exit 1; }
check "ProFTPD $(dpkg-query -W -f '${Version}' proftpd-core)"
stop_servers

[ $failed -eq 0 ] && echo "both examples give the account what devices need, nothing more"
exit $failed
