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
here=$(dirname "${BASH_SOURCE[0]}")
if [ -f "$here/session-parts.sh" ]; then
  source "$here/session-parts.sh"  # the copy beside the running copy
else
  source "$here/../../scripts/session-parts.sh"
fi

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
  copy_session_parts "$work"
  prepare_session_user "$work"
  "${as_user[@]}" bash "$work/with-vlc.sh" --inside "$work"
  exit
fi

work=$2
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p -m 700 "$HOME" "$XDG_RUNTIME_DIR" "$work/tones"
trap stop_started EXIT

# Tones long enough that no track ends by itself while the tests run.
write_tones "$work/tones" 60 a:440 b:550 c:660

start_session_bus "$work"

"$work/tests" --gtest_filter='PlayerNames.*:MprisWithoutPlayer.*'

# ALSA's null device: an output that plays in time and discards the sound,
# where VLC keeps a volume of its own (its dummy output has none).
printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
cvlc -I dummy -A alsa --extraintf=dbus "$work/tones/a.wav" "$work/tones/b.wav" \
  "$work/tones/c.wav" >"$work/vlc.log" 2>&1 &
pids+=($!)
if ! "$work/tests" --gtest_filter='MprisWithVlc.*'; then
  echo "--- VLC's output:" >&2
  tail -n 40 "$work/vlc.log" >&2
  exit 1
fi
