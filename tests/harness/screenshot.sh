#!/bin/sh
# Writes a PNG of the X display $DISPLAY (the tests' Xvfb) to the given path.
# The picture is written beside the target and renamed into place, so that a
# caller waiting for the file never reads half of it.
#   screenshot.sh OUTPUT.png
set -u
out=${1:?usage: screenshot.sh OUTPUT.png}
[ -n "${DISPLAY:-}" ] || { echo "screenshot: DISPLAY is not set" >&2; exit 1; }
dir=$(dirname "$out")
mkdir -p "$dir" || exit 1
tmp=$(mktemp "$dir/.screenshot.XXXXXX") || exit 1
if xwd -root -silent -display "$DISPLAY" | convert xwd:- "png:$tmp" 2>/dev/null; then
  mv -f "$tmp" "$out"
else
  rm -f "$tmp"
  echo "screenshot: capturing $DISPLAY failed" >&2
  exit 1
fi
