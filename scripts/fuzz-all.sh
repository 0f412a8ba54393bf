#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on
# its committed corpus (fuzz/corpus/<target>/). Seconds per target:
# FUZZ_SECONDS (default 60). New inputs go to a scratch folder, not the corpus.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
seconds=${FUZZ_SECONDS:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
shopt -s nullglob
for source in fuzz/*.cpp; do
  name=$(basename "$source" .cpp)
  scratch=$(mktemp -d)
  seeds=fuzz/corpus/$name
  mkdir -p "$seeds"
  echo "-- $name: ${seconds}s"
  build/fuzz/fuzz/$name -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 \
    "$scratch" "$seeds" 2>&1 | tail -n 3
  rm -rf "$scratch"
done
