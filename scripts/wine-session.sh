#!/usr/bin/env bash
# Runs one command inside a private Wine session for tests:
#   - a private mount namespace in which the machine's /dev/ttyS0 (the system
#     console, which a fresh prefix maps to COM1) is replaced by /dev/null;
#   - a headless X display (xvfb-run -a picks a free one);
#   - a private prefix (build/wineprefix unless WINEPREFIX is set) prepared once;
#   - one wineserver kept up for the whole command and stopped afterwards.
#   - with --serial-ports "N M ...": the serial stand-in
#     (tools/serial-standin) for COMN, COMM, ...: pseudo-terminals with modem
#     lines linked into the prefix, and its library preloaded into every Wine
#     process the command starts, so the real serial code of the program runs
#     on them. The command finds each port's state file in
#     PELORIN_STANDIN_COM<N>; `serial-standin set` switches the lines.
#   - with --use-display: the windows go to the display in DISPLAY when one is
#     set, and a private one is made only when none is (for trying the
#     program out; tests stay headless).
# Usage: scripts/wine-session.sh [--serial-ports "N..."] [--use-display] COMMAND [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")

while [ $# -gt 0 ]; do
  case "$1" in
  --serial-ports)
    export PELORIN_SERIAL_PORTS=$2
    shift 2
    ;;
  --use-display)
    [ -n "${DISPLAY:-}" ] && export PELORIN_WINE_DISPLAY=host
    shift
    ;;
  *) break ;;
  esac
done

export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win64

# Every command the session needs, checked before anything starts: a missing
# one must be named, not end the run with a bare exit status.
for tool in wine wineboot wineserver xvfb-run unshare; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "wine-session: $tool not found (bash scripts/setup-deps.sh installs it)" >&2
    exit 127
  fi
done

# The script re-runs itself through three stages: the mount namespace, the
# display, the session proper. Each stage names the next one on the command
# line; nothing is inherited by the commands the session runs.
stage=namespace
if [ "${1:-}" = --stage ]; then
  stage=$2
  shift 2
fi
case "$stage" in
namespace)
  if [ "$(id -u)" -eq 0 ] && [ -e /dev/ttyS0 ]; then
    exec unshare -m -- bash -c 'mount --bind /dev/null /dev/ttyS0 && exec "$0" --stage display "$@"' \
      "$0" "$@"
  fi
  echo "wine-session: cannot hide /dev/ttyS0 (needs root); continuing without it" >&2
  ;&
display)
  if [ "${PELORIN_WINE_DISPLAY:-}" = host ]; then
    unset PELORIN_WINE_DISPLAY
    exec "$0" --stage session "$@"
  fi
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --stage session "$@"
  ;;
session) ;;
*)
  echo "wine-session: unknown stage $stage" >&2
  exit 2
  ;;
esac

prepare_prefix() {
  [ -f "$WINEPREFIX/.pelorin-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Without a window manager every hide or destroy otherwise costs 2 s.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.pelorin-ready"
}

# Wine draws dialogs in Tahoma ("MS Shell Dlg"), which Debian ships with
# fonts-wine in Wine's data folder; this build of Wine does not look there,
# only in the prefix's Fonts folder, and would otherwise measure every label
# in a wider substitute. Linked at every start, so older prefixes get them too.
link_wine_fonts() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  mkdir -p "$fonts"
  for font in /usr/share/wine/fonts/*.ttf; do
    [ -e "$font" ] && ln -sf "$font" "$fonts/"
  done
  return 0
}

prepare_prefix
link_wine_fonts
# Wine's background processes inherit output pipes: start them with all
# output sent away, so that test runners do not wait for them.
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

export PELORIN_WINE_SESSION=1
if [ -n "${PELORIN_SERIAL_PORTS:-}" ]; then
  # The helper is a host program, built by either preset.
  helper=${PELORIN_STANDIN_HELPER:-}
  for candidate in "$root"/build/native/tools/serial-standin/serial-standin \
                   "$root"/build/win64/tools/serial-standin/serial-standin; do
    [ -z "$helper" ] && [ -x "$candidate" ] && helper=$candidate
  done
  if [ -z "$helper" ]; then
    echo "wine-session: serial stand-in not built (cmake --build --preset win64)" >&2
    exit 1
  fi
  port_args=()
  for port in $PELORIN_SERIAL_PORTS; do port_args+=(--port "$port"); done
  unset PELORIN_SERIAL_PORTS
  "$helper" run --wine "${port_args[@]}" -- "$@"
else
  "$@"
fi
