#!/usr/bin/env bash
# End to end on the real Linux program with real parts around it: a private
# session bus with VLC playing three generated tones (over MPRIS), a
# PulseAudio server with a null sink, an Xvfb with a small X client that
# writes down the keys it gets, and the serial stand-in's pseudo-terminal as
# the button box (the program names it with Device=). The buttons are
# pressed through the stand-in's state file; every effect is read from the
# real part: VLC's properties, the sink's volume, the X client's log, files
# a started program writes, RTS.
#
#   e2e.sh PELORIN SERIAL_STANDIN KEY_CATCHER
#   e2e.sh --installed SERIAL_STANDIN KEY_CATCHER
#
# --installed tests the program a package installed, /usr/bin/pelorin, in
# place (through a link), so that it finds its files where the package put
# them; otherwise PELORIN is copied into the test's folder.
# The preload library lies beside SERIAL_STANDIN. VLC and PulseAudio refuse
# to run as root: under root everything runs as an unprivileged user
# (PELORIN_TEST_USER, default pelorin-test), created when missing. Exit 77
# (skipped) when a part is not installed or not built.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
if [ -f "$here/session-parts.sh" ]; then
  source "$here/session-parts.sh"  # the copy beside the running copy
else
  source "$here/../../scripts/session-parts.sh"
fi

installed=
if [ "${1:-}" = --installed ]; then
  installed=/usr/bin/pelorin
  shift
  set -- "$installed" "$@"
fi

if [ "${1:-}" != --inside ] && [ "${1:-}" != --session ]; then
  for tool in cvlc dbus-daemon dbus-send python3 pulseaudio pactl Xvfb; do
    if ! command -v "$tool" >/dev/null; then
      echo "e2e: $tool not found (scripts/setup-deps.sh installs it)" >&2
      exit 77
    fi
  done
  for built in "$1" "$2" "$(dirname "$2")/libpelorin_serial_standin.so" "$3"; do
    [ -x "$built" ] || [ -f "$built" ] || { echo "e2e: $built is not built" >&2; exit 77; }
  done
  work=$(mktemp -d -t pelorin-e2e.XXXXXX)
  trap 'rm -rf "$work"' EXIT
  # Copies, so that the user can run them whatever the checkout's modes.
  mkdir "$work/bin"
  if [ -n "$installed" ]; then
    ln -s "$installed" "$work/bin/pelorin"
  else
    cp "$1" "$work/bin/pelorin"
  fi
  cp "$2" "$(dirname "$2")/libpelorin_serial_standin.so" "$work/bin/"
  cp "$3" "$work/bin/key-catcher"
  cp "${BASH_SOURCE[0]}" "$work/e2e.sh"
  # The settings both editions write alike (the Windows program's end-to-end
  # test writes the same file from the same input).
  cp "$(dirname "${BASH_SOURCE[0]}")"/../data/settings-shared-*.ini "$work/"
  copy_session_parts "$work"
  prepare_session_user "$work"
  # A clean environment: nothing of the caller's desktop, bus or sound.
  "${as_user[@]}" env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
    XDG_CONFIG_HOME="$work/config" ASAN_OPTIONS="verify_asan_link_order=0:${ASAN_OPTIONS:-}" \
    UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" bash "$work/e2e.sh" --inside "$work"
  exit
fi

if [ "$1" = --inside ]; then
  work=$2
  mkdir -p -m 700 "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$work/tones" "$work/out"
  trap stop_started EXIT

  # Tones long enough that no track ends by itself while the test runs.
  write_tones "$work/tones" 60 a:440 b:550 c:660
  start_session_bus "$work"
  start_null_sink "$work" e2e

  exec {display_pipe}<> <(:)
  Xvfb -displayfd "$display_pipe" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  read -r -t 10 number <&"$display_pipe" || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$number

  # ALSA's null device: an output that plays in time and discards the sound,
  # where VLC keeps a volume of its own (its dummy output has none).
  printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
  cvlc -I dummy -A alsa --extraintf=dbus "$work/tones/a.wav" "$work/tones/b.wav" \
    "$work/tones/c.wav" >"$work/vlc.log" 2>&1 &
  pids+=($!)

  # The rest runs with the button box's port; the stand-in ends with it.
  status=0
  "$work/bin/serial-standin" run --port 1 -- bash "$work/e2e.sh" --session "$work" || status=$?
  if [ $status -ne 0 ]; then
    for log in pelorin.err vlc.log pulse.log keys.log; do
      [ -s "$work/$log" ] && { echo "--- $log:" >&2; tail -n 30 "$work/$log" >&2; }
    done
  fi
  exit $status
fi

# --session: the checks, with the port's state in $PELORIN_STANDIN_COM1.
work=$2
port=${PELORIN_STANDIN_COM1:?}
standin=$work/bin/serial-standin
pelorin=$work/bin/pelorin
config=$work/pelorin.ini
line() { "$standin" get "$port" | grep -o "$1=[01]" | cut -d= -f2; }
line_is() { [ "$(line "$1")" = "$2" ]; }
press() { "$standin" set "$port" "$1=1"; sleep 0.15; }
release() { "$standin" set "$port" "$1=0"; sleep 0.15; }

# VLC's player properties, read with Properties.Get (its introspection data
# gives some types wrongly).
mpris() {
  dbus-send --session --print-reply=literal --dest=org.mpris.MediaPlayer2.vlc \
    /org/mpris/MediaPlayer2 "org.freedesktop.DBus.$1" string:org.mpris.MediaPlayer2.Player "${@:2}" \
    2>/dev/null
}
status() { mpris Properties.Get string:PlaybackStatus | awk '{print $NF}'; }
status_is() { [ "$(status)" = "$1" ]; }
track() { mpris Properties.Get string:Metadata | awk '$1 == "xesam:url" {print $3}'; }
track_is_not() { local now; now=$(track) && [ -n "$now" ] && [ "$now" != "$1" ]; }
player_volume() { mpris Properties.Get string:Volume | awk '{print $NF}'; }
player_volume_above() { python3 -c "import sys; sys.exit(0 if $(player_volume) > $1 else 1)"; }
sink_levels() { pactl get-sink-volume e2e | grep -oE '[0-9]+ /' | tr -d ' /' | head -n 2 | xargs; }
sink_levels_near() {
  local levels
  read -ra levels <<<"$(sink_levels)"
  [ ${#levels[@]} -eq 2 ] && (((levels[0] - $1) ** 2 <= 9 && (levels[1] - $2) ** 2 <= 9))
}
running() { kill -0 "$1" 2>/dev/null; }
ended() { ! kill -0 "$1" 2>/dev/null; }

# Port 1 on the stand-in's terminal, "4 buttons", each button's press and
# release given a command (click mode "down/up"): button 1 Next track,
# button 2 Play/Pause, button 3 Volume 1/8 up and on release the master
# volume up, button 4 Ctrl+Alt+A and on release a program started with two
# arguments. The LED follows "the player is playing".
write_config() {
  cat >"$config" <<INI
[Primary]
Port=1
Device=$PELORIN_STANDIN_TTY1
Mode=0
LED=0
LEDwhen=$1
[Options]
IfInactive=3
Warn=0
AutoStartup=0
[Port1Button1]
Mode=1
Func1=5
[Port1Button2]
Mode=1
Func1=34
[Port1Button3]
Mode=1
Func1=10
Func2=40
[Port1Button4]
Mode=1
Func1=52
Key1=$((0x41 | 0x200 | 0x400))
Func2=53
Exec2="$(command -v touch)" "$work/out/one file" $work/out/two
INI
}

start_pelorin() {
  "$pelorin" --headless --config "$config" 2>>"$work/pelorin.err" &
  pelorin_pid=$!
  # The end of the start-up opens the port, which raises DTR.
  wait_for 10 line_is DTR 1 || { echo "pelorin did not open its port" >&2; exit 1; }
}

wait_for 10 status_is Playing || { echo "VLC did not start playing" >&2; exit 1; }
"$work/bin/key-catcher" >"$work/keys.log" 2>&1 &
catcher_pid=$!
wait_for 10 grep -q ready "$work/keys.log" || { echo "the X client did not start" >&2; exit 1; }
write_config 2
start_pelorin

check "the LED lights while VLC plays" line_is RTS 1

before=$(track)
press DCD
release DCD
check "Next track changes VLC's track" track_is_not "$before"

press DSR
release DSR
check "Play/Pause pauses VLC" status_is Paused
check "the LED goes out while VLC is paused" line_is RTS 0
press DSR
release DSR
check "Play/Pause plays again" status_is Playing

mpris Properties.Set string:Volume variant:double:0.5 >/dev/null
pactl set-sink-volume e2e 30000 45000
press CTS
check "Volume 1/8 up raises VLC's volume" player_volume_above 0.5
release CTS
# The louder channel moves by 1024, the other in proportion.
check "the master volume steps up keeping the balance" sink_levels_near 30683 46024

press RI
release RI
expected_keys=$'Alt_L down\nAlt+Control_L down\nCtrl+Alt+a down\nCtrl+Alt+a up\nCtrl+Alt+Control_L up\nAlt+Alt_L up'
keys_arrived() { [ "$(grep -v ready "$work/keys.log")" = "$expected_keys" ]; }
check "Ctrl+Alt+A reaches an X client in order" keys_arrived
check "a program starts with its arguments" test -e "$work/out/one file" -a -e "$work/out/two"

"$pelorin" --headless --config "$config" 2>>"$work/pelorin.err" &
second=$!
second_ended_silently() { ended "$second" && wait "$second"; }
check "a second copy ends silently" second_ended_silently
check "the first copy runs on" running "$pelorin_pid"

# Read again on SIGHUP: the LED now follows "the player is paused".
write_config 3
kill -HUP "$pelorin_pid"
check "SIGHUP reads the configuration again" line_is RTS 0

# SIGTERM: settings stored (the program writes every section), RTS cleared.
kill -TERM "$pelorin_pid"
ended_well() { ended "$pelorin_pid" && wait "$pelorin_pid"; }
check "SIGTERM ends the program" ended_well
check "the settings are stored on the end" grep -q '^\[Port2Button15\]' "$config"
check "the LED is off after the end" line_is RTS 0

write_config 2
start_pelorin
"$pelorin" show 2>>"$work/pelorin.err"
check "pelorin show leaves the running copy running" running "$pelorin_pid"
"$pelorin" quit 2>>"$work/pelorin.err"
check "pelorin quit ends the running copy" ended "$pelorin_pid"

# The same settings give the file the Windows program writes, byte for byte.
# Port 5 is /dev/ttyS4 here, which this user may not open: the box that says
# so marks the end of the start-up.
cp "$work/settings-shared-input.ini" "$work/shared.ini"
"$pelorin" --headless --config "$work/shared.ini" 2>"$work/shared.err" &
shared_pid=$!
wait_for 10 grep -q "Error opening COM5" "$work/shared.err" || true
kill -TERM "$shared_pid"
wait "$shared_pid" || true
check "the file written on the end is the one the Windows program writes" \
  cmp "$work/shared.ini" "$work/settings-shared-written.ini"

kill "$catcher_pid" 2>/dev/null || true
checks_passed
