#!/usr/bin/env bash
# Runs the extraction test's small-drive case with drive T: of the prefix on a
# file system of 1 MB (a tmpfs, so root only; elsewhere the case is skipped).
#   small_drive.sh TEST.exe
set -u
here=$(cd "$(dirname "$0")" && pwd)
exe=$1
world= mnt= link=
cleanup() {
  if [ -n "$link" ]; then rm -f "$link"; fi
  if [ -n "$mnt" ]; then umount "$mnt" 2>/dev/null; rmdir "$mnt"; fi
  if [ -n "$world" ]; then wine_env_stop "$world"; fi
}
trap cleanup EXIT
if [ -z "${TESSEL_WINE_READY:-}" ] || [ ! -d "${WINEPREFIX:-/nonexistent}" ]; then
  # shellcheck source=../../harness/wine-env.sh
  . "$here/../../harness/wine-env.sh"
  world=$(mktemp -d /tmp/tessel-wine.XXXXXX)
  wine_env_start "$world" || exit 1
fi
mnt=$(mktemp -d /tmp/tessel-small-drive.XXXXXX)
if mount -t tmpfs -o size=1000k tessel-small-drive "$mnt" 2>/dev/null; then
  link="$WINEPREFIX/dosdevices/t:"
  ln -sfn "$mnt" "$link"
  export TESSEL_SMALL_DRIVE=T:
else
  rmdir "$mnt"
  mnt=
  echo "small_drive.sh: cannot mount a small file system here (needs root); the case is skipped"
fi
wine "$exe" --gtest_filter='ProgressExtractSmallDrive.*'
