#!/usr/bin/env bash
# End to end on the real Linux program on a desktop: an X server (Xvfb)
# with a tray host (trayer, XEmbed icons), a private session bus with no
# StatusNotifierItem watcher (so the icon docks as an XEmbed icon), and the
# serial stand-in's pseudo-terminal as the button box. The user's side is
# played with xdotool: the tray icon's menu, the properties window's keys;
# every effect is read from outside: the window tree, pictures of the
# window, the configuration file, RTS.
#
#   desktop_e2e.sh PELORIN SERIAL_STANDIN
#
# The preload library lies beside SERIAL_STANDIN. Under root everything
# runs as an unprivileged user (PELORIN_TEST_USER, default pelorin-test).
# Exit 77 (skipped) when a part is not installed or not built.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
if [ -f "$here/session-parts.sh" ]; then
  source "$here/session-parts.sh"  # the copy beside the running copy
else
  source "$here/../../scripts/session-parts.sh"
fi

if [ "${1:-}" != --inside ] && [ "${1:-}" != --session ]; then
  for tool in Xvfb trayer xdotool xwininfo import compare dbus-daemon; do
    if ! command -v "$tool" >/dev/null; then
      echo "desktop e2e: $tool not found (scripts/setup-deps.sh installs it)" >&2
      exit 77
    fi
  done
  for built in "$1" "$(dirname "$1")/pelorin-desktop.so" "$2" \
    "$(dirname "$2")/libpelorin_serial_standin.so"; do
    [ -f "$built" ] || { echo "desktop e2e: $built is not built" >&2; exit 77; }
  done
  work=$(mktemp -d -t pelorin-desktop-e2e.XXXXXX)
  trap 'rm -rf "$work"' EXIT
  mkdir "$work/bin"
  cp "$1" "$(dirname "$1")/pelorin-desktop.so" "$work/bin/"
  cp "$2" "$(dirname "$2")/libpelorin_serial_standin.so" "$work/bin/"
  cp "${BASH_SOURCE[0]}" "$work/desktop_e2e.sh"
  # Under LeakSanitizer: the system libraries' own leaks under Qt are not
  # the program's.
  cp "$here/../qt/lsan.supp" "$work/"
  copy_session_parts "$work"
  prepare_session_user "$work"
  "${as_user[@]}" env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
    XDG_CONFIG_HOME="$work/config" ASAN_OPTIONS="verify_asan_link_order=0:${ASAN_OPTIONS:-}" \
    UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" LSAN_OPTIONS="suppressions=$work/lsan.supp" \
    bash "$work/desktop_e2e.sh" --inside "$work"
  exit
fi

if [ "$1" = --inside ]; then
  work=$2
  mkdir -p -m 700 "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$work/shots"
  trap stop_started EXIT
  start_session_bus "$work"

  exec {display_pipe}<> <(:)
  Xvfb -displayfd "$display_pipe" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  read -r -t 10 number <&"$display_pipe" || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$number
  trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
    --transparent false >"$work/trayer.log" 2>&1 &
  pids+=($!)

  status=0
  "$work/bin/serial-standin" run --port 1 -- bash "$work/desktop_e2e.sh" --session "$work" ||
    status=$?
  if [ $status -ne 0 ]; then
    for log in pelorin.err trayer.log; do
      [ -s "$work/$log" ] && { echo "--- $log:" >&2; tail -n 30 "$work/$log" >&2; }
    done
    # The last pictures tell what the screen showed.
    cp "$work"/shots/*.png /tmp/ 2>/dev/null || true
  fi
  exit $status
fi

# --session: the checks, with the port's state in $PELORIN_STANDIN_COM1.
work=$2
port=${PELORIN_STANDIN_COM1:?}
standin=$work/bin/serial-standin
config=$work/pelorin.ini
check_seconds=10  # a desktop program takes longer to draw
line_is() { "$standin" get "$port" | grep -q "$1=$2"; }
running() { kill -0 "$1" 2>/dev/null; }

# The icon: Qt's XEmbed icon is a window of class "pelorin" docked inside
# trayer's panel.
icon_window() {
  xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {inside = 1; next}
    inside && /^     0x/ {inside = 0}
    inside && /\("pelorin" "pelorin"\)/ {print $1; exit}'
}
icon_docked() { [ -n "$(icon_window)" ]; }
# Right-clicks the icon's middle, which opens its menu.
open_tray_menu() {
  local id geometry
  id=$(icon_window)
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
  sleep 0.5
}
properties_window() { xdotool search --onlyvisible --name '^Pelorin Properties$' | head -n 1; }
window_shown() { [ -n "$(properties_window)" ]; }
shoot() { import -window "$(properties_window)" "$work/shots/$1.png"; }
pictures_differ() {
  [ "$(compare -metric AE "$work/shots/$1.png" "$work/shots/$2.png" null: 2>&1 || true)" != 0 ]
}

# Port 1 on the stand-in's terminal, "4 buttons"; the LED on RTS lights
# while the program runs; no player here, and no questions about one.
cat >"$config" <<INI
[Primary]
Port=1
Device=$PELORIN_STANDIN_TTY1
Mode=0
LED=0
LEDwhen=0
[Options]
IfInactive=3
Warn=0
AutoStartup=0
INI

"$work/bin/pelorin" --config "$config" 2>>"$work/pelorin.err" &
pelorin_pid=$!
wait_for 15 line_is DTR 1 || { echo "pelorin did not open its port" >&2; exit 1; }

check "the icon docks in the tray (XEmbed)" icon_docked
check "the LED lights while the program runs" line_is RTS 1

open_tray_menu
xdotool key r  # P&roperties
check "the menu's Properties opens the window" window_shown
xdotool windowactivate --sync "$(properties_window)" 2>/dev/null || true

# The COM ports tab is the first page: a press of the line DCD lights its
# indicator while it is held.
sleep 0.5
shoot released
"$standin" set "$port" DCD=1
sleep 0.5
shoot pressed
"$standin" set "$port" DCD=0
check "a press lights the COM ports tab's indicator" pictures_differ released pressed
# The change is the press's own: released again, the window is as before.
sleep 0.5
shoot released-again
pictures_same() { ! pictures_differ "$@"; }
check "the indicator goes dark on release" pictures_same released released-again

# The player page: button 1 of the primary port is a turbo button on
# "Volume down" (command 9); from the page's tab, five Tabs reach its
# command list (past the button list, the two arrows and the type), where
# Down takes the next command, "Volume 1/8 up" (10). Apply stores it.
xdotool key ctrl+Tab
sleep 0.3
for _ in 1 2 3 4 5; do xdotool key Tab; done
xdotool key Down
sleep 0.3
shoot player-changed
xdotool key alt+a  # &Apply
func_stored() { grep -A8 '^\[Port1Button1\]' "$config" | grep -q '^Func3=10$'; }
check "a command chosen on the player page is stored by Apply" func_stored

open_tray_menu
xdotool key x  # E&xit
ended_well() { ! running "$pelorin_pid" && wait "$pelorin_pid"; }
check "Exit ends the program" ended_well
check "the LED is off after the end" line_is RTS 0

checks_passed
