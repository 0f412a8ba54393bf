#!/usr/bin/env bash
# Runs the volume backend's tests (the program given first, gtest options
# after it) against a real PulseAudio server with three null sinks, in a
# private runtime folder that is removed afterwards. PulseAudio does not
# serve root: run as root, this runs the server and the tests as the
# unprivileged user pelorin-test, which it creates when missing.
# Exit 77 (skipped) when the sound server's packages are missing.
set -euo pipefail
program=$1
shift
for tool in pulseaudio pactl pacat; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool (scripts/setup-deps.sh)"; exit 77; }
done
user=$(id -un)
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  user=pelorin-test
  id -u "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
  as_user=(runuser -u "$user" --)
fi

folder=$(mktemp -d /tmp/pelorin-pulse.XXXXXX)
# Ends the server (one the tests left stopped must wake up first) and
# waits for it, since it removes its files in the folder as it goes.
end_server() {
  local pid
  pid=$(cat "$folder/runtime/pulse/pid" 2>/dev/null) && kill -CONT "$pid" && kill "$pid" || return 0
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.05; done
}
trap 'end_server; rm -rf "$folder"' EXIT
mkdir -p "$folder/runtime" "$folder/home"
# A copy the user may run wherever the build folder lies.
cp "$program" "$folder/tests"
cat >"$folder/null.pa" <<'PA'
load-module module-native-protocol-unix
load-module module-null-sink sink_name=stereo
load-module module-null-sink sink_name=surround channels=6 channel_map=front-center,front-left,front-right,rear-left,rear-right,lfe
load-module module-null-sink sink_name=mono channels=1 channel_map=mono
PA
chown -R "$user" "$folder"
chmod 700 "$folder" "$folder/runtime"

session=(env -i PATH="$PATH" HOME="$folder/home" XDG_RUNTIME_DIR="$folder/runtime"
  PELORIN_PULSE_TEST=1 ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}")
"${as_user[@]}" "${session[@]}" pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
  -F "$folder/null.pa" --log-target="file:$folder/pulse.log" || { cat "$folder/pulse.log" >&2; exit 1; }
"${as_user[@]}" "${session[@]}" "$folder/tests" "$@"
