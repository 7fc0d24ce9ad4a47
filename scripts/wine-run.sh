#!/usr/bin/env bash
# Runs a Windows program of the kit under wine, in a private wine prefix made
# on first use.
#
#   wine-run.sh [--null-modem] PROGRAM [ARGS...]
#   wine-run.sh --server-start | --server-stop
#
# The prefix and the port links live in $CORVANE_WINE_DIR (default
# build/mingw). Wine maps COM5 and COM6 to the symbolic links com5 and com6
# there; whoever plays the far end points them at its pseudo-terminals.
#   --null-modem  joins COM5 and COM6 like a null-modem cable for the run.
#   --server-start, --server-stop  keep one wine server up for a whole test
#                 run, so that each program starts in milliseconds.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=${CORVANE_WINE_DIR:-$here/../build/mingw}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
export WINEPREFIX=$dir/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if command -v wine64 >/dev/null; then
  wine=wine64
elif [ -x /usr/lib/wine/wine64 ]; then
  wine=/usr/lib/wine/wine64
else
  wine=wine
fi

# Makes the prefix once, with the port map. Wine reads the map only when its
# server starts, so the server is let go before anyone uses the prefix.
make_prefix() {
  [ -f "$WINEPREFIX/.corvane-ready" ] && return 0
  exec 9>"$dir/wineprefix.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.corvane-ready" ]; then
    wineboot -i >/dev/null 2>&1
    for n in 5 6; do
      "$wine" reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d "$dir/com$n" /f >/dev/null 2>&1
    done
    wineserver -w
    touch "$WINEPREFIX/.corvane-ready"
  fi
  flock -u 9
  exec 9>&-
}

wait_for_links() {
  for _ in $(seq 100); do
    [ -L "$dir/com5" ] && [ -L "$dir/com6" ] && return 0
    sleep 0.05
  done
  echo "wine-run.sh: the null modem did not come up" >&2
  return 1
}

make_prefix || exit 1

case "${1:-}" in
  --server-start)
    # The first program started brings up wine's own service processes, which
    # keep its output open for as long as the server lives; start them here,
    # away from the output of any test.
    wineserver -p </dev/null >/dev/null 2>&1
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1
    exit 0 ;;
  --server-stop) wineserver -k 2>/dev/null; exit 0 ;;
  "") echo "usage: wine-run.sh [--null-modem] PROGRAM [ARGS...]" >&2; exit 2 ;;
esac

# A wine server started here keeps its output away from the program's: it
# reports a hang-up of the pseudo-terminals on its error output.
wineserver -p3 </dev/null >/dev/null 2>&1 || true

if [ "$1" = "--null-modem" ]; then
  shift
  rm -f "$dir/com5" "$dir/com6"
  # The system's own interpreter starts fastest.
  python=/usr/bin/python3
  [ -x "$python" ] || python=python3
  "$python" "$here/null-modem.py" "$dir/com5" "$dir/com6" &
  modem=$!
  trap 'kill $modem 2>/dev/null; wait $modem 2>/dev/null' EXIT
  wait_for_links || exit 1
fi

"$wine" "$@"
