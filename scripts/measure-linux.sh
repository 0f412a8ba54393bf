#!/usr/bin/env bash
# The native Linux `pelorin` measured headless, each figure beside the
# baseline of the same run (bench/linux/idle_timerfd, which only wakes every
# 25 ms): start-up, press to the player's Next() call, idle CPU and memory,
# the size of the executable. The desktop program (tray icon and windows, on
# a virtual X server) is measured in the same run beside the headless one:
# start-up to its tray icon, idle CPU and memory. A second baseline idles in
# the same window: the bare timer that also reads the lines of a port of its
# own on the same stand-in every tick (idle_timerfd --lines), which tells the
# stand-in's part of the idle cost from the program's. Called by scripts/measure-performance.sh after
# the bench preset is built; appends "result linux_* VALUE" lines to
# OUT/probe.txt.
#
# Usage: scripts/measure-linux.sh OUT STARTS PRESSES IDLE_SECONDS
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$1 starts=$2 presses=$3 idle_seconds=$4
build=$root/build/bench
pelorin=$build/pelorin
baseline=$build/bench/linux/idle_timerfd
probe=$build/bench/linux/mpris_probe
tray=$build/bench/linux/tray_probe
standin=$build/tools/serial-standin/serial-standin
for program in "$pelorin" "$baseline" "$probe" "$tray" "$standin"; do
  [ -x "$program" ] || { echo "measure-linux: $program is not built" >&2; exit 1; }
done

# A private home, runtime folder and session bus: nothing of a running copy
# or of the user's desktop takes part.
scratch=$(mktemp -d /tmp/pelorin-measure.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 0700 "$scratch/runtime"
export HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime
unset DISPLAY WAYLAND_DISPLAY  # the virtual display below is the only one

# Inside the stand-in and the private bus: port 1 is a pseudo-terminal, the
# program's primary device; defaults otherwise (CTS is button 3, "Next track"
# on the press). Port 2 is the desktop copy's, port 3 the second baseline's.
inner=$(cat <<'INNER'
set -euo pipefail
pelorin=$1 baseline=$2 probe=$3 tray=$4 starts=$5 presses=$6 idle_seconds=$7
config=$XDG_CONFIG_HOME/pelorin/pelorin.ini
mkdir -p "${config%/*}"
printf '[Primary]\nDevice=%s\n[Options]\nWarn=0\n' "$PELORIN_STANDIN_TTY1" >"$config"
# Headless as on a box without a desktop: no display to connect to (with
# one, the keys would go through XTest, which connects at the start). The
# virtual display is only the desktop copy's, its tray host's and the
# tray probe's.
display=$DISPLAY
unset DISPLAY
run=("$pelorin" --headless --config "$config")
# The desktop copy: port 2, a runtime folder of its own (so that it is no
# second copy of the headless one) and the virtual display.
desktop_config=$XDG_CONFIG_HOME/pelorin/desktop.ini
printf '[Primary]\nDevice=%s\n[Options]\nWarn=0\n' "$PELORIN_STANDIN_TTY2" >"$desktop_config"
mkdir -m 0700 "$XDG_RUNTIME_DIR/desktop"
desktop=(env DISPLAY="$display" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR/desktop" "$pelorin"
         --config "$desktop_config")

"$probe" startup "$starts" -- "${run[@]}"
"$probe" startup-baseline "$starts" -- "$baseline"
DISPLAY=$display "$tray" startup "$starts" -- "${desktop[@]}"

"${run[@]}" 2>/dev/null & program=$!
"$probe" latency "$presses"
kill -TERM "$program"; wait "$program" || true

# Idle: the player present (the program asks it for its state every cycle,
# as it would on a desktop), the port open, no press.
"$probe" serve $((idle_seconds + 10)) & player=$!
"${run[@]}" 2>/dev/null & program=$!
"$baseline" >/dev/null & bare=$!
# The second baseline: the bare timer that also reads the lines of port 3,
# on the same stand-in, every tick.
"$baseline" --lines "$PELORIN_STANDIN_TTY3" >/dev/null & bare_lines=$!
# The desktop copy with a real tray host, its window closed, as after log-in.
DISPLAY=$display trayer --SetDockType true >/dev/null 2>&1 & host=$!
"${desktop[@]}" 2>/dev/null & desktop_program=$!
bus=$(pgrep -f "dbus-daemon.*--address=$DBUS_SESSION_BUS_ADDRESS" | head -n 1 || true)
[ -n "$bus" ] || bus=$(pgrep -n dbus-daemon)
sleep 3
# A baseline that could not open or read its port has ended by now: no
# figures are better than figures of a process that is gone.
if ! kill -0 "$bare_lines" 2>/dev/null; then
  echo "measure-linux: idle_timerfd --lines did not start" >&2
  kill -TERM "$program" "$desktop_program" "$bare" "$player" "$host" 2>/dev/null || true
  exit 1
fi
# CPU time in ms, every thread's, from the scheduler's own count (exact;
# utime and stime are sampled at the kernel's tick, which a program waking
# for microseconds every 25 ms meets by chance).
cpu_ms() { cat /proc/"$1"/task/*/schedstat | awk '{ ns += $1 } END { printf "%d", ns / 1e6 }'; }
p0=$(cpu_ms "$program") b0=$(cpu_ms "$bare") l0=$(cpu_ms "$bare_lines") d0=$(cpu_ms "$bus")
w0=$(cpu_ms "$desktop_program")
# The window in six parts: how far the ratios move within one run tells a
# change in the program from the shared machine's moods.
windows=6 ratios=()
pw=$p0 bw=$b0 lw=$l0
for _ in $(seq "$windows"); do
  sleep "$(awk -v s="$idle_seconds" -v n="$windows" 'BEGIN { printf "%.3f", s / n }')"
  pn=$(cpu_ms "$program") bn=$(cpu_ms "$bare") ln=$(cpu_ms "$bare_lines")
  ratios+=("$(( pn - pw )) $(( bn - bw )) $(( ln - lw ))")
  pw=$pn bw=$bn lw=$ln
done
p1=$pw b1=$bw l1=$lw d1=$(cpu_ms "$bus")
w1=$(cpu_ms "$desktop_program")
printf '%s\n' "${ratios[@]}" | awk -v n="$windows" '
  $2 > 0 && $3 > 0 { r = $1 / $2; l = $1 / $3; first = seen++ == 0
    if (first || r < rmin) rmin = r; if (first || r > rmax) rmax = r
    if (first || l < lmin) lmin = l; if (first || l > lmax) lmax = l }
  END { printf "result linux_idle_windows %d\n", n
        printf "result linux_idle_ratio_min %.2f\nresult linux_idle_ratio_max %.2f\n", rmin, rmax
        printf "result linux_idle_lines_ratio_min %.2f\nresult linux_idle_lines_ratio_max %.2f\n", lmin, lmax }'
kib() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/smaps_rollup"; }
echo "result linux_idle_cpu_ms $(( p1 - p0 ))"
echo "result linux_baseline_idle_cpu_ms $(( b1 - b0 ))"
echo "result linux_baseline_lines_idle_cpu_ms $(( l1 - l0 ))"
echo "result linux_bus_idle_cpu_ms $(( d1 - d0 ))"
echo "result linux_desktop_idle_cpu_ms $(( w1 - w0 ))"
echo "result linux_rss_kib $(kib "$program" Rss)"
echo "result linux_anonymous_kib $(kib "$program" Anonymous)"
echo "result linux_desktop_rss_kib $(kib "$desktop_program" Rss)"
echo "result linux_desktop_anonymous_kib $(kib "$desktop_program" Anonymous)"
echo "result linux_baseline_rss_kib $(kib "$bare" Rss)"
echo "result linux_baseline_anonymous_kib $(kib "$bare" Anonymous)"
echo "result linux_baseline_lines_rss_kib $(kib "$bare_lines" Rss)"
echo "result linux_baseline_lines_anonymous_kib $(kib "$bare_lines" Anonymous)"
kill -TERM "$program" "$desktop_program" "$bare" "$bare_lines" "$player" "$host" 2>/dev/null || true
wait 2>/dev/null || true
INNER
)
xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- "$standin" run --port 1 --port 2 --port 3 -- \
  bash -c "$inner" measure-linux "$pelorin" "$baseline" "$probe" "$tray" "$starts" "$presses" \
  "$idle_seconds" | tee -a "$out/probe.txt"

strip -o "$out/pelorin-linux-stripped" "$pelorin"
strip -o "$out/idle_timerfd-stripped" "$baseline"
{
  echo "result linux_size_bytes $(stat -c %s "$pelorin")"
  # What the loader must place anew at every start.
  echo "result linux_relocations $(readelf -rW "$pelorin" | grep -c 'R_X86_64_')"
  echo "result linux_size_stripped_bytes $(stat -c %s "$out/pelorin-linux-stripped")"
  echo "result linux_baseline_size_stripped_bytes $(stat -c %s "$out/idle_timerfd-stripped")"
} | tee -a "$out/probe.txt"
