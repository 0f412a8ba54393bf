#!/usr/bin/env bash
# Every test of the project: the portable core and the Linux program natively
# under the sanitizers, static analysis of the core, the Linux program's
# optimised build on its demo and its Debian package (installed, tested and
# removed again), then the Windows build (portable tests again, Win32
# backends, end to end) under Wine, then the fuzz targets for a bounded time
# each. The scripts run through bash, so that one that has lost its run bit
# still runs, and one that is missing stops the run with an error.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup-deps.sh

echo "== native (ASan + UBSan)"
cmake --workflow --preset native

echo "== static analysis (clang-tidy, cppcheck)"
bash scripts/lint.sh

echo "== the Linux program, optimised (its own preset), tried out as README shows"
cmake --preset linux >/dev/null
cmake --build --preset linux --target pelorin serial_standin button_box
PELORIN_DEMO_NO_BUILD=1 bash scripts/run.sh --linux </dev/null

echo "== the Debian package: lintian, installed with apt-get, end to end, purged"
if [ "$(id -u)" -eq 0 ]; then
  bash scripts/check-deb.sh
else
  echo "skipped: installing the package needs root"
fi

echo "== win64 (MinGW-w64, under Wine)"
cmake --preset win64 >/dev/null
cmake --build --preset win64
bash scripts/wine-session.sh ctest --preset win64

echo "== fuzz targets"
bash scripts/fuzz-all.sh
