# Parts of a private desktop session for the Linux tests and the Linux demo:
# the user that runs them, generated tones, a session bus and a PulseAudio
# null sink, each ended with the script, and the checks of the end-to-end
# tests. Sourced (bash) by tests/linux/with-vlc.sh, tests/linux/e2e.sh,
# tests/linux/desktop_e2e.sh and scripts/linux-demo.sh, from
# the copy they make beside themselves when they run as another user.

# Waits up to $1 seconds for the command after it to succeed, trying ten
# times a second.
wait_for() {
  local seconds=$1
  shift
  local i
  for ((i = 0; i < seconds * 10; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# One check of an end-to-end test: waits up to $check_seconds (default 5)
# for the command after the description to succeed, says "ok: ..." or
# "FAILED: ...", and counts the failures for checks_passed.
failures=0
check() {
  local what=$1
  shift
  if wait_for "${check_seconds:-5}" "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what" >&2
    failures=$((failures + 1))
  fi
}

# The end of a test's checks: false, with the count, when one failed.
checks_passed() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    return 1
  fi
  echo "every check passed"
}

# Copies this file into `folder`, where the copy of the sourcing script
# finds it once it runs from there.
copy_session_parts() {
  cp "${BASH_SOURCE[0]}" "$1/session-parts.sh"
}

# VLC and PulseAudio refuse to run as root: under root the session runs as
# an unprivileged user (PELORIN_TEST_USER, default pelorin-test), created
# when missing, who is given `folder`. Sets `as_user` to the words that run
# a command as that user (none when not root).
prepare_session_user() {
  as_user=()
  if [ "$(id -u)" -eq 0 ]; then
    local user=${PELORIN_TEST_USER:-pelorin-test}
    # Another test may create the same user at the same moment.
    id -u "$user" >/dev/null 2>&1 || useradd --create-home --user-group "$user" 2>/dev/null ||
      id -u "$user" >/dev/null
    chown -R "$user:" "$1"
    as_user=(runuser -u "$user" --)
  fi
}

# The processes started for the session. stop_started ends them and waits
# until they are gone, so that nothing writes into a folder about to be
# removed; the caller traps it on EXIT.
pids=()
stop_started() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    wait "$pid" 2>/dev/null || true  # a child of this shell
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  done
}

# Writes one mono 8 kHz WAV tone per NAME:PITCH into `folder`, each
# `seconds` long (long enough that no track ends by itself meanwhile).
write_tones() {
  local folder=$1 seconds=$2
  shift 2
  python3 - "$folder" "$seconds" "$@" <<'PY'
import math, sys, wave
folder, seconds = sys.argv[1], int(sys.argv[2])
for tone in sys.argv[3:]:
    name, pitch = tone.rsplit(":", 1)
    with wave.open(f"{folder}/{name}.wav", "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(8000)
        w.writeframes(bytes(128 + int(60 * math.sin(2 * math.pi * int(pitch) * i / 8000))
                            for i in range(8000 * seconds)))
PY
}

# A session bus of its own, its files in `folder`; exports its address.
start_session_bus() {
  dbus-daemon --session --fork --print-address=3 --print-pid=4 \
    3>"$1/bus.address" 4>"$1/bus.pid"
  pids+=("$(cat "$1/bus.pid")")
  DBUS_SESSION_BUS_ADDRESS=$(cat "$1/bus.address")
  export DBUS_SESSION_BUS_ADDRESS
}

# A PulseAudio server of this user with one null sink named `sink` as its
# default output, its log in `folder`/pulse.log.
start_null_sink() {
  local folder=$1 sink=$2
  printf 'load-module module-native-protocol-unix\nload-module module-null-sink sink_name=%s\n' \
    "$sink" >"$folder/null.pa"
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n -F "$folder/null.pa" \
    --log-target="file:$folder/pulse.log" || { cat "$folder/pulse.log" >&2; return 1; }
  pids+=("$(cat "$XDG_RUNTIME_DIR/pulse/pid")")
}
