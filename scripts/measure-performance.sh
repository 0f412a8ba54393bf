#!/usr/bin/env bash
# Measures the program and writes docs/performance.md: the benchmarks of the
# portable core (bench/*.cpp, optimised native build), then the unchanged
# pelorin.exe under Wine (start-up, press-to-player latency, idle CPU time and
# memory next to a minimal timer program, and next to the same timer reading
# the lines of a port of its own), the native Linux `pelorin` likewise
# (scripts/measure-linux.sh), then the size of the executable.
# Not part of the test command: it takes a few minutes.
#
# Usage: scripts/measure-performance.sh [--quick]
#   --quick  fewer runs and shorter windows, to check the script itself; the
#            figures and page go to build/measure-quick/, not into docs/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

out=$root/build/measure
# Thirty starts: a start under Wine varies by half its time from one to the
# next, so its median needs more samples than the other figures.
starts=30 presses=300 idle_seconds=60 bench_min_time=0.5 repetitions=3
page=$root/docs/performance.md
if [ "${1:-}" = "--quick" ]; then
  starts=2 presses=20 idle_seconds=5 bench_min_time=0.05 repetitions=1
  out=$root/build/measure-quick
  page=$out/performance.md
fi

# The page describes one commit: the figures must come from exactly that
# program, so a full run refuses a tree with changes of any kind.
commit=$(git -C "$root" rev-parse HEAD)
dirty=$(git -C "$root" status --porcelain --untracked-files=normal)
if [ -n "$dirty" ] && [ "$page" = "$root/docs/performance.md" ]; then
  echo "measure-performance: the working tree has changes; commit them first, so that" >&2
  echo "docs/performance.md names the commit it measured (--quick works on any tree)." >&2
  echo "$dirty" >&2
  exit 1
fi

rm -rf "$out"
mkdir -p "$out"

echo "== build (bench preset, win64 measuring programs)"
cmake --preset bench >/dev/null
cmake --build --preset bench -j 2
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j 2 --target pelorin pelorin_probe idle_timer stand_in_player \
  serial_standin

echo "== benchmarks"
for bench in poll_cycle decoder_bench settings_store_bench playlist_jump; do
  build/bench/bench/$bench --benchmark_min_time="$bench_min_time" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_out="$out/$bench.json" --benchmark_out_format=json >/dev/null
  echo "$bench done"
done

echo "== pelorin.exe under Wine"
# A fresh prefix of its own: no registry or files left by tests or earlier runs.
export WINEPREFIX=$root/build/measure-prefix
rm -rf "$WINEPREFIX"
probe=$root/build/win64/bench/win32/pelorin_probe.exe
# Inside the session: find this prefix's wineserver (its working folder is
# named after the prefix's device and inode), so that the probe can count the
# server's CPU time too, then run the three measurements one after another.
# COM5 is the program's port, COM6 the one the second idle baseline reads.
scripts/wine-session.sh --serial-ports "5 6" bash -c '
  key=$(printf "server-%x-%x" $(stat -c "%d %i" "$WINEPREFIX"))
  for pid in $(pgrep -x "wineserver(64)?" || true); do
    case "$(readlink "/proc/$pid/cwd" 2>/dev/null)" in
      */"$key") export PELORIN_MEASURE_WINESERVER_PID=$pid ;;
    esac
  done
  wine "$1" startup "$2" && wine "$1" latency "$3" && wine "$1" idle "$4"
' measure "$probe" "$starts" "$presses" "$idle_seconds" | tr -d '\r' | tee "$out/probe.txt"

echo "== the Linux edition"
scripts/measure-linux.sh "$out" "$starts" "$((presses * 2 / 3))" "$idle_seconds"

echo "== sizes"
# build/win64/pelorin.exe is already stripped: it is the file the release zip
# holds (the test pelorin_release_zip checks that). The baseline is stripped
# with the cross toolchain's own strip, as CMake found it beside the compiler.
cmake --build --preset win64 --target package >/dev/null
zip=$(ls build/win64/pelorin-*-win64.zip)
strip=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' build/win64/CMakeCache.txt)
if [ ! -x "$strip" ]; then
  echo "no strip of the cross toolchain in build/win64/CMakeCache.txt (CMAKE_STRIP='$strip')" >&2
  exit 1
fi
"$strip" -o "$out/idle_timer-stripped.exe" build/win64/bench/win32/idle_timer.exe
{
  echo "result size_pelorin_stripped_bytes $(stat -c %s build/win64/pelorin.exe)"
  echo "result size_pelorin_debug_bytes $(stat -c %s build/win64/pelorin.exe.debug)"
  echo "result size_release_zip_bytes $(stat -c %s "$zip")"
  echo "result size_idle_timer_stripped_bytes $(stat -c %s "$out/idle_timer-stripped.exe")"
} >>"$out/probe.txt"

{
  echo "machine $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
  echo "load $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "wine $(wine --version 2>/dev/null)"
  echo "date $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "runs $starts starts, $presses presses, $idle_seconds s idle"
  echo "commit $commit"
  echo "clean $([ -z "$dirty" ] && echo yes || echo no)"
} >"$out/machine.txt"

python3 "$root/scripts/render-performance.py" "$out" >"$page.new"
mv "$page.new" "$page"
echo "wrote $page"
