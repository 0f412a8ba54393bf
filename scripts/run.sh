#!/usr/bin/env bash
# Builds the Windows program and tries it out under Wine, with neither serial
# hardware nor the player:
#   - COM5 is a serial stand-in port (tools/serial-standin); a button box in
#     this terminal (tools/button-box) presses its four buttons with the keys
#     1 to 4 and shows the LED on RTS;
#   - a stand-in for the player prints every command it receives in words;
#   - the unchanged pelorin.exe runs from build/demo/ with a fresh
#     Pelorin.ini that selects COM5 in mode "4 buttons".
# Without a terminal on stdin (CI, a pipe) a short scripted demo runs
# instead: button 3 (CTS) is pressed and released, and the exit status says
# whether the player received "Next track".
# With DISPLAY set, the program's windows show up there.
#
# Usage: bash scripts/run.sh [ARGUMENTS FOR pelorin.exe]
#        bash scripts/run.sh --linux [ARGUMENTS FOR pelorin]
# PELORIN_DEMO_NO_BUILD=1 skips installing and building (the test suite runs
# it that way after its own build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
# --linux: the native Linux program with a real VLC instead (linux-demo.sh).
if [ "${1:-}" = --linux ]; then
  shift
  exec bash scripts/linux-demo.sh "$@"
fi

if [ -z "${PELORIN_DEMO_NO_BUILD:-}" ]; then
  scripts/setup-deps.sh
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target pelorin stand_in_player serial_standin button_box
fi

demo=$root/build/demo
mkdir -p "$demo"
cp build/win64/pelorin.exe build/win64/tests/e2e/stand_in_player.exe "$demo"/
# COM5, "4 buttons", everything else at its defaults, except that there is
# no player to warn about and a demo does not register itself to start with
# Windows.
printf '[Primary]\r\nPort=5\r\nMode=0\r\n[Options]\r\nWarn=0\r\nAutoStartup=0\r\n' \
  >"$demo/Pelorin.ini"
rm -f "$demo/player.log" "$demo/player-messages.log"

# A prefix of its own, so that the demo's registry and files never meet the
# tests'.
export WINEPREFIX=$demo/wineprefix
export PELORIN_DEMO_DIR=$demo
exec scripts/wine-session.sh --use-display --serial-ports 5 scripts/demo-session.sh "$@"
