#!/usr/bin/env bash
# The Linux edition tried out without serial hardware or a sound card (run
# through `bash scripts/run.sh --linux`):
#   - port 1 is a serial stand-in terminal (tools/serial-standin) that the
#     program opens through Device=; a button box in this terminal
#     (tools/button-box) presses its four buttons with the keys 1 to 4 and
#     shows the LED on RTS;
#   - a real VLC plays three generated tones into a PulseAudio null sink, on
#     a private session bus, and the box shows the track and state it reads
#     over MPRIS;
#   - the real `pelorin --headless` runs with a fresh configuration: port 1
#     in mode "4 buttons", every button at its default command, the LED lit
#     while VLC plays.
# Without a terminal on stdin a short scripted demo runs instead: button 3
# (CTS) is pressed and released, and the exit status says whether VLC went
# to the next track. VLC refuses to run as root: under root everything runs
# as the unprivileged user pelorin-test, created when missing.
#
# Usage: bash scripts/linux-demo.sh [ARGUMENTS FOR pelorin]
# PELORIN_DEMO_NO_BUILD=1 skips installing and building.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The copy beside the running copy, else the checkout's.
source "$(dirname "${BASH_SOURCE[0]}")/session-parts.sh"

if [ "${1:-}" != --inside ] && [ "${1:-}" != --session ]; then
  cd "$root"
  if [ -z "${PELORIN_DEMO_NO_BUILD:-}" ]; then
    scripts/setup-deps.sh
    cmake --preset linux >/dev/null
    cmake --build --preset linux --target pelorin serial_standin button_box
  fi
  demo=$(mktemp -d -t pelorin-demo.XXXXXX)
  trap 'rm -rf "$demo"' EXIT
  mkdir "$demo/bin"
  cp build/linux/pelorin build/linux/tools/serial-standin/serial-standin \
    build/linux/tools/serial-standin/libpelorin_serial_standin.so \
    build/linux/tools/button-box/button-box "$demo/bin/"
  cp "${BASH_SOURCE[0]}" "$demo/linux-demo.sh"
  copy_session_parts "$demo"
  prepare_session_user "$demo"
  "${as_user[@]}" env -i PATH="$PATH" TERM="${TERM:-dumb}" HOME="$demo/home" \
    XDG_RUNTIME_DIR="$demo/run" XDG_CONFIG_HOME="$demo/config" \
    bash "$demo/linux-demo.sh" --inside "$demo" "$@"
  exit
fi

if [ "$1" = --inside ]; then
  demo=$2
  shift 2
  mkdir -p -m 700 "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$demo/tones"
  trap stop_started EXIT
  write_tones "$demo/tones" 120 "440 Hz:440" "550 Hz:550" "660 Hz:660"
  start_session_bus "$demo"
  start_null_sink "$demo" demo
  # VLC plays into the sound server's null sink.
  cvlc -I dummy -A pulse --extraintf=dbus "$demo/tones/"*.wav >"$demo/vlc.log" 2>&1 &
  pids+=($!)
  # Not exec: the trap above must still end the bus, the sound server and
  # VLC once the session is over.
  "$demo/bin/serial-standin" run --port 1 -- bash "$demo/linux-demo.sh" --session "$demo" "$@"
  exit
fi

# --session: the program, the player's feed and the box on port 1.
demo=$2
shift 2
port=${PELORIN_STANDIN_COM1:?}
standin=$demo/bin/serial-standin
feed=$demo/player.log
line_is_up() { "$standin" get "$port" | grep -q "$1=1"; }
property() {
  dbus-send --session --print-reply=literal --dest=org.mpris.MediaPlayer2.vlc \
    /org/mpris/MediaPlayer2 org.freedesktop.DBus.Properties.Get \
    string:org.mpris.MediaPlayer2.Player "string:$1" 2>/dev/null
}
# One line per change of VLC's state or track, as the box's feed.
watch_player() {
  # VLC may not answer yet (or any more): a failed read is retried, never
  # the end of the feed.
  set +e +o pipefail
  local last="" now
  while true; do
    now="$(property PlaybackStatus | awk '{print $NF}'): $(property Metadata |
      awk '$1 == "xesam:url" {print $3}' | sed 's|.*/||; s|%20| |g')"
    if [ "$now" != "$last" ]; then
      echo "$now" >>"$feed"
      last=$now
    fi
    sleep 0.3
  done
}

: >"$feed"
watch_player &
watcher=$!
printf '[Primary]\nPort=1\nDevice=%s\nMode=0\nLED=0\nLEDwhen=2\n[Options]\nWarn=0\nAutoStartup=0\n' \
  "$PELORIN_STANDIN_TTY1" >"$demo/pelorin.ini"
"$demo/bin/pelorin" --headless --config "$demo/pelorin.ini" "$@" 2>"$demo/pelorin.err" &
pelorin=$!
trap 'kill $pelorin $watcher 2>/dev/null || true; wait $pelorin 2>/dev/null || true' EXIT
if ! wait_for 10 line_is_up DTR; then
  echo "Pelorin did not open port 1:" >&2
  cat "$demo/pelorin.err" >&2
  exit 1
fi

if [ -t 0 ]; then
  "$demo/bin/button-box" --title "Pelorin on a stand-in port, VLC over MPRIS" \
    --label "Volume down     (turbo: hold it)" \
    --label "Previous track  (on press)" \
    --label "Next track      (on press)" \
    --label "Volume 1/8 up   (turbo: hold it)" \
    --feed "$feed" --feed-title "VLC (read over MPRIS):" "$port"
  echo "Ending Pelorin and VLC ..."
  exit 0
fi

led=off
wait_for 3 line_is_up RTS && led=on
echo "Pelorin runs on port 1; its LED on RTS is $led."
wait_for 10 grep -q '^Playing' "$feed" || true
first=$(tail -n 1 "$feed")
echo "Pressing button 3 (CTS) ..."
"$standin" set "$port" CTS=1
result=0
next_track() { [ "$(tail -n 1 "$feed")" != "$first" ] && tail -n 1 "$feed" | grep -q '^Playing'; }
wait_for 10 next_track || result=1
"$standin" set "$port" CTS=0
echo "VLC reported:"
sed 's/^/  /' "$feed"
if [ $result -eq 0 ]; then
  echo "Demo passed: the press of button 3 took VLC to the next track."
else
  echo "Demo FAILED: VLC did not go to the next track." >&2
fi
exit $result
