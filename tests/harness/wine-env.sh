# Sourced by the test command and by wine-run: a throw-away Wine world.
#   wine_env_start DIR   fresh 32-bit prefix, HOME and Xvfb display inside DIR
#   wine_env_stop  DIR   ends wineserver and Xvfb, removes DIR and the server's socket folder
# Nothing here touches ~/.wine or a display it did not start.

wine_env_start() {
  local dir=$1
  mkdir -p "$dir/home" "$dir/prefix"
  export HOME="$dir/home"
  export WINEPREFIX="$dir/prefix"
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
  # The tests pick the language themselves; the prefix starts as an English system.
  export LC_ALL=C.UTF-8
  unset LANG LANGUAGE

  local n
  for n in $(seq 90 189); do
    if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
      echo $! >"$dir/xvfb.pid"
      local i
      for i in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X${n}" ] && break
        sleep 0.1
      done
      if [ -e "/tmp/.X11-unix/X${n}" ] && kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null; then
        export DISPLAY=":$n"
        break
      fi
    fi
  done
  if [ -z "${DISPLAY:-}" ]; then
    echo "wine-env: no free X display for Xvfb" >&2
    return 1
  fi

  # The server and Wine's own background processes (services, explorer) are
  # started here with their output going to a log: started later by a test,
  # they would hold the test runner's output pipe open until the server ends.
  wineserver -p </dev/null >"$dir/wineserver.log" 2>&1
  wineboot -i </dev/null >"$dir/wineboot.log" 2>&1 || { echo "wine-env: wineboot failed" >&2; cat "$dir/wineboot.log" >&2; return 1; }
  # Hangul in message boxes needs the Korean faces mapped to a font that has them.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '굴림' /d NanumGothic /f >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Gulim /d NanumGothic /f >/dev/null 2>&1 || true
  # Xvfb runs no window manager: a window Wine leaves to one waits two seconds
  # for a withdrawal that never comes each time it is hidden, so a program asked
  # to close takes two seconds longer than on Windows. Wine manages them itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  # Any windowed program brings up the desktop process; this one ends at once.
  wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >>"$dir/wineboot.log" 2>&1
  export TESSEL_WINE_READY="$dir"
}

wine_env_stop() {
  local dir=$1
  [ -n "$dir" ] && [ -d "$dir" ] || return 0
  if [ -n "${WINEPREFIX:-}" ]; then
    WINEPREFIX="$dir/prefix" wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -f "$dir/xvfb.pid" ]; then
    kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
  fi
  # wineserver -k leaves its socket folder /tmp/wine-*/server-<dev>-<inode> behind.
  local ino dev sock
  if [ -d "$dir/prefix" ]; then
    dev=$(stat -c %x "$dir/prefix" >/dev/null; stat -c %d "$dir/prefix"); ino=$(stat -c %i "$dir/prefix")
    for sock in /tmp/wine-*/"server-$(printf %x "$dev")-$(printf %x "$ino")"; do
      [ -d "$sock" ] || continue
      rm -rf "$sock"
      rmdir "$(dirname "$sock")" 2>/dev/null || true
    done
  fi
  rm -rf "$dir"
}
