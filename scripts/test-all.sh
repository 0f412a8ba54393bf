#!/usr/bin/env bash
# Every test of the project: the portable core natively under the sanitizers,
# static analysis of it, then the Windows build (portable tests again, Win32
# backends, end to end) under Wine, then the fuzz targets for a bounded time
# each.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

scripts/setup-deps.sh

echo "== native (ASan + UBSan)"
cmake --workflow --preset native

echo "== static analysis (clang-tidy, cppcheck)"
scripts/lint.sh

echo "== win64 (MinGW-w64, under Wine)"
cmake --preset win64 >/dev/null
cmake --build --preset win64
scripts/wine-session.sh ctest --preset win64

if [ -x scripts/fuzz-all.sh ]; then
  echo "== fuzz targets"
  scripts/fuzz-all.sh
fi
