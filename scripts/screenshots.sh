#!/usr/bin/env bash
# Takes the README's screenshots of the properties window and the remap
# dialogs (in-process views with the real presenters, under Wine and Xvfb)
# and stores them as PNG in docs/screenshots/. Needs the win64 build and
# ImageMagick. Usage: scripts/screenshots.sh [DPI]  (default 96)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
dpi=${1:-96}
out=$root/build/shots-$dpi
rm -rf "$out" && mkdir -p "$out"
cat >"$out/run.sh" <<INNER
#!/usr/bin/env bash
wine reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
PELORIN_SCREENSHOT_DIR='Z:${out//\//\\}' wine "$root/build/win64/tests/pelorin_view_tests.exe" \
  --gtest_filter='Screenshots.*' >/dev/null 2>&1
wine reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
INNER
chmod +x "$out/run.sh"
"$here/wine-session.sh" "$out/run.sh"
suffix=$([ "$dpi" = 96 ] && echo "" || echo "-$dpi")
mkdir -p "$root/docs/screenshots"
for bmp in "$out"/*.bmp; do
  name=$(basename "$bmp" .bmp)
  convert "$bmp" "$root/docs/screenshots/$name$suffix.png"
done
ls "$root/docs/screenshots"
