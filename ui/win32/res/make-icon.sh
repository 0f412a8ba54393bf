#!/usr/bin/env bash
# Regenerates pelorin.ico (16, 20, 24, 32, 48 and 64 pixels: 20 and 24 are
# the small icon at 125 and 150 per cent) with ImageMagick: a
# push-button seen from above, with an LED beside it, on a dark blue tile.
# The same drawing goes, at the sizes of the freedesktop hicolor theme, to
# packaging/linux/icons/pelorin-<size>.png for the Debian package; both are
# committed, so that building needs no ImageMagick.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
hicolor=../../../packaging/linux/icons
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The drawing at s x s pixels, every measure a fraction of the side.
draw() {
  local s=$1 out=$2
  local r=$((s / 8)) c=$((s / 2)) b=$((s * 5 / 16)) l=$((s / 10 + 1))
  convert -size "${s}x${s}" xc:none \
    -fill '#1f3a68' -draw "roundrectangle 0,0 $((s - 1)),$((s - 1)) $r,$r" \
    -fill '#c8ccd4' -draw "circle $c,$((c + s / 16)) $c,$((c + s / 16 - b))" \
    -fill '#e23b2e' -draw "circle $((c - s / 32)),$((c + s / 32)) $((c - s / 32)),$((c + s / 32 - b * 2 / 3))" \
    -fill '#5cff5c' -draw "circle $((s - l - 2)),$((l + 2)) $((s - l - 2)),2" \
    "$out"
}

for s in 16 20 24 32 48 64; do
  draw $s "$tmp/icon-$s.png"
done
convert "$tmp"/icon-{16,20,24,32,48,64}.png pelorin.ico

# The PNGs carry no time stamps or other chunks that would change them on
# every run.
mkdir -p "$hicolor"
for s in 16 22 24 32 48 64 128 256; do
  draw $s "$tmp/hicolor-$s.png"
  convert "$tmp/hicolor-$s.png" -depth 8 -define png:exclude-chunks=date,time -strip \
    "PNG32:$hicolor/pelorin-$s.png"
done
