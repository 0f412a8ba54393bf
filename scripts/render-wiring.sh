#!/usr/bin/env bash
# Draws the two wiring pictures of the Help tab with the portable code, as
# the program saves them (BMP), and puts PNG copies into docs/ to look at.
# Needs ImageMagick's `convert` for the PNG files.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

cmake --preset native >/dev/null
cmake --build --preset native --target pelorin_tests -j2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
PELORIN_WIRING_PICTURES="$out" build/native/tests/pelorin_tests \
  --gtest_filter='*WiringPictureTest.WritesItsFileWhenAsked*' >/dev/null
mkdir -p docs
for name in wiring-4 wiring-15; do
  convert "$out/$name.bmp" "docs/$name.png"
  echo "docs/$name.png"
done
