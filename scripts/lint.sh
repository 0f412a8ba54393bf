#!/usr/bin/env bash
# Static analysis of the portable code: clang-tidy with the checks chosen in
# the root .clang-tidy, then cppcheck. Both must be clean. The compile
# commands come from a configure-only clang tree in build/lint, so nothing is
# compiled here. Jobs: LINT_JOBS (default 2).
#
# What is linted is what the build compiles: every unit of the compile
# database that lies directly in one of the portable folders below. Their
# subfolders (platform/posix, platform/win32, ui/win32) hold the code that
# includes OS headers and are left out. This list is the only one; the
# header filter of clang-tidy is made from it too.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${LINT_JOBS:-2}
portable_folders=(platform config input actions indicators engine ui app)

cmake -S . -B build/lint -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DBUILD_TESTING=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

folders=$(IFS='|'; echo "${portable_folders[*]}")
mapfile -t sources < <(jq -r '.[].file' build/lint/compile_commands.json |
  sed -n "s|^$root/||p" | grep -E "^($folders)/[^/]+\.cpp$" | sort -u)
if [ "${#sources[@]}" -eq 0 ]; then
  echo "no portable units in build/lint/compile_commands.json" >&2
  exit 1
fi

echo "-- clang-tidy (${#sources[@]} files)"
tidy_log=$(mktemp)
trap 'rm -f "$tidy_log"' EXIT
if ! printf '%s\n' "${sources[@]}" |
  xargs -P "$jobs" -n 4 clang-tidy -p build/lint --quiet \
    --header-filter="/($folders)/[^/]+\.h$" >"$tidy_log" 2>&1; then
  grep -E 'warning:|error:' -A3 "$tidy_log" | head -n 200
  echo "clang-tidy found problems" >&2
  exit 1
fi

echo "-- cppcheck"
# The defect classes only: its "style" class mostly proposes algorithms for
# plain loops and const parameters, which review settles.
# missingIncludeSystem: the standard headers are not cppcheck's business.
cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ -j "$jobs" \
  --enable=warning,performance,portability --inline-suppr \
  --suppress=missingIncludeSystem \
  -I . "${sources[@]}"
echo "-- lint clean"
