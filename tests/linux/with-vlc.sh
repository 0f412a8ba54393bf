#!/usr/bin/env bash
# Runs the MPRIS test program against a real VLC on a private session bus:
# first with no player on the bus, then with VLC playing three generated
# tones. VLC refuses to run as root, so under root the bus, VLC and the
# tests run as an unprivileged user (PELORIN_TEST_USER, default
# pelorin-test), created when missing. Every process started here ends with
# the script; exit 77 (skipped) when VLC or the bus daemon is not installed.
#
#   with-vlc.sh TEST_PROGRAM
set -euo pipefail

if [ "${1:-}" != --inside ]; then
  program=$1
  for tool in cvlc dbus-daemon python3; do
    if ! command -v "$tool" >/dev/null; then
      echo "with-vlc: $tool not found (scripts/setup-deps.sh installs it)" >&2
      exit 77
    fi
  done
  work=$(mktemp -d -t pelorin-mpris.XXXXXX)
  trap 'rm -rf "$work"' EXIT
  # Copies, so that the user can run them whatever the checkout's modes.
  cp "$program" "$work/tests"
  cp "${BASH_SOURCE[0]}" "$work/with-vlc.sh"
  as_user=()
  if [ "$(id -u)" -eq 0 ]; then
    user=${PELORIN_TEST_USER:-pelorin-test}
    # Another test may create the same user at the same moment.
    id -u "$user" >/dev/null 2>&1 || useradd --create-home --user-group "$user" 2>/dev/null ||
      id -u "$user" >/dev/null
    chown -R "$user:" "$work"
    as_user=(runuser -u "$user" --)
  fi
  "${as_user[@]}" bash "$work/with-vlc.sh" --inside "$work"
  exit
fi

work=$2
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p -m 700 "$HOME" "$XDG_RUNTIME_DIR" "$work/tones"
# The bus daemon (forked away) and VLC (a child of this shell), ended and
# waited for, so that nothing writes into the folder once it is removed.
bus_pid=
vlc_pid=
stop_started() {
  if [ -n "$vlc_pid" ]; then
    kill "$vlc_pid" 2>/dev/null || true
    wait "$vlc_pid" 2>/dev/null || true
  fi
  if [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null; then
    for _ in $(seq 50); do
      kill -0 "$bus_pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
}
trap stop_started EXIT

# Tones long enough that no track ends by itself while the tests run.
python3 - "$work/tones" <<'PY'
import math, sys, wave
for name, pitch in (("a", 440), ("b", 550), ("c", 660)):
    with wave.open(f"{sys.argv[1]}/{name}.wav", "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(8000)
        w.writeframes(bytes(128 + int(60 * math.sin(2 * math.pi * pitch * i / 8000))
                            for i in range(8000 * 60)))
PY

dbus-daemon --session --fork --print-address=3 --print-pid=4 \
  3>"$work/bus.address" 4>"$work/bus.pid"
bus_pid=$(cat "$work/bus.pid")
DBUS_SESSION_BUS_ADDRESS=$(cat "$work/bus.address")
export DBUS_SESSION_BUS_ADDRESS

"$work/tests" --gtest_filter='PlayerNames.*:MprisWithoutPlayer.*'

# ALSA's null device: an output that plays in time and discards the sound,
# where VLC keeps a volume of its own (its dummy output has none).
printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
cvlc -I dummy -A alsa --extraintf=dbus "$work/tones/a.wav" "$work/tones/b.wav" \
  "$work/tones/c.wav" >"$work/vlc.log" 2>&1 &
vlc_pid=$!
if ! "$work/tests" --gtest_filter='MprisWithVlc.*'; then
  echo "--- VLC's output:" >&2
  tail -n 40 "$work/vlc.log" >&2
  exit 1
fi
