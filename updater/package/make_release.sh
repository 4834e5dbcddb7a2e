#!/usr/bin/env bash
# Packs release descriptions into setup packages with the Windows marbo-pack
# under Wine (one throw-away Wine world for all of them):
#   make_release.sh MARBO_PACK_EXE MARBOSETUP_EXE DESCRIPTION OUTPUT [DESCRIPTION OUTPUT ...]
# Paths are Unix paths; an output is written only when its package is complete.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
pack=$1 program=$2; shift 2

if [ -z "${TESSEL_WINE_READY:-}" ] || [ ! -d "${WINEPREFIX:-/nonexistent}" ]; then
  # shellcheck source=../../tests/harness/wine-env.sh
  . "$root/tests/harness/wine-env.sh"
  dir=$(mktemp -d /tmp/tessel-release.XXXXXX)
  trap 'wine_env_stop "$dir"' EXIT
  wine_env_start "$dir" >/dev/null
fi

while [ $# -ge 2 ]; do
  description=$1 output=$2; shift 2
  mkdir -p "$(dirname "$output")"
  wine "$pack" build "Z:$description" --program "Z:$program" --output "Z:$output" --quiet
  [ -s "$output" ] || { echo "make_release: $output was not made" >&2; exit 1; }
done
