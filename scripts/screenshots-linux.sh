#!/usr/bin/env bash
# Takes the README's screenshots of the Linux edition: every tab of the
# properties window, both remap dialog pages and the tray menu, drawn by the
# Qt views with the real presenters on a virtual X server, and stores them as
# PNG in docs/screenshots/linux/. Needs the `linux` preset's view tests.
# Usage: scripts/screenshots-linux.sh [DPI]  (96, the default, or 144)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dpi=${1:-96}
tests=$root/build/linux/tests/pelorin_qt_view_tests
[ -x "$tests" ] || { echo "screenshots-linux: build the linux preset's pelorin_qt_view_tests first" >&2; exit 1; }
out=$root/build/shots-linux-$dpi
rm -rf "$out" && mkdir -p "$out"
# The desktop's scale: 144 dpi is 150 % of the 96 dpi the layouts start from.
scale=$(python3 -c "print($dpi / 96)")
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale PELORIN_SCREENSHOT_DIR=$out \
  xvfb-run -a -s "-screen 0 1920x1440x24" "$tests" --gtest_filter='*Screenshot*' >/dev/null
suffix=$([ "$dpi" = 96 ] && echo "" || echo "-$dpi")
mkdir -p "$root/docs/screenshots/linux"
for png in "$out"/*.png; do
  cp "$png" "$root/docs/screenshots/linux/$(basename "$png" .png)$suffix.png"
done
ls "$root/docs/screenshots/linux"
