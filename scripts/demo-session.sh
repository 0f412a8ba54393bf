#!/usr/bin/env bash
# The inside of scripts/run.sh's Wine session: starts the stand-in player and
# pelorin.exe from $PELORIN_DEMO_DIR, then runs the button box on COM5 (with a
# terminal) or the scripted demo (without). Arguments go to pelorin.exe.
# Every Wine process ends with the session (wineserver -k).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
demo=${PELORIN_DEMO_DIR:?run scripts/run.sh}
port=${PELORIN_STANDIN_COM5:?run scripts/run.sh}
standin=$root/build/win64/tools/serial-standin/serial-standin
button_box=$root/build/win64/tools/button-box/button-box
words=$demo/player.log

# The Windows name of a file of this machine (Z: is the root of a prefix).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# wait_for, shared with the Linux demo.
source "$(dirname "${BASH_SOURCE[0]}")/session-parts.sh"

line_is_up() { "$standin" get "$port" | grep -q "$1=1"; }

start_programs() {
  wine "$demo/stand_in_player.exe" "--log=$(windows_path "$demo/player-messages.log")" \
    "--print=$(windows_path "$words")" >/dev/null 2>&1 </dev/null &
  if ! wait_for 30 test -e "$words"; then
    echo "The stand-in player did not start." >&2
    exit 1
  fi
  wine "$demo/pelorin.exe" "$@" >/dev/null 2>&1 </dev/null &
  # The end of Pelorin's start-up opens the port, which raises DTR.
  if ! wait_for 30 line_is_up DTR; then
    echo "Pelorin did not open COM5." >&2
    exit 1
  fi
}

scripted_demo() {
  # The LED driver switches the LED on its next step, a moment after start-up.
  local led=off
  wait_for 3 line_is_up RTS && led=on
  echo "Pelorin runs on COM5; its LED on RTS is $led."
  echo "Pressing button 3 (CTS) ..."
  "$standin" set "$port" CTS=1
  local result=0
  wait_for 10 grep -q "Next track" "$words" || result=1
  "$standin" set "$port" CTS=0
  sleep 0.3
  echo "The player received:"
  sed 's/^/  /' "$words"
  if [ $result -eq 0 ]; then
    echo "Demo passed: the press of button 3 became \"Next track\"."
  else
    echo "Demo FAILED: no \"Next track\" reached the player." >&2
  fi
  return $result
}

interactive_demo() {
  "$button_box" --title "Pelorin on COM5 (under Wine), buttons wired to DTR" \
    --label "Volume down     (turbo: hold it)" \
    --label "Previous track  (on press)" \
    --label "Next track      (on press)" \
    --label "Volume 1/8 up   (turbo: hold it)" \
    --feed "$words" --feed-title "The player (a stand-in for Winamp) received:" "$port"
  echo "Ending Pelorin and the player ..."
}

start_programs "$@"
if [ -t 0 ]; then
  interactive_demo
else
  scripted_demo
fi
