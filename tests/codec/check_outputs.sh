#!/bin/bash
# Reads what the encoder tests wrote with independent tools: pngcheck for
# the PNG chunks, ImageMagick for the JPEG settings.
set -u
OUT=${1:?output folder}
failures=0
expect() {  # expect <description> <command output> <pattern>
  if grep -Eq -- "$3" <<<"$2"; then echo "ok: $1"; else echo "FAILED: $1"; echo "$2" | head -20; failures=$((failures + 1)); fi
}
expect "rgb640.png is RGB, not interlaced, white bKGD, 3780 per metre" \
  "$(pngcheck -v "$OUT/rgb640.png" 2>&1)" \
  "640 x 480 image, 24-bit RGB, non-interlaced"
expect "rgb640.png bKGD" "$(pngcheck -v "$OUT/rgb640.png")" "red = 0x00ff, green = 0x00ff, blue = 0x00ff"
expect "rgb640.png pHYs" "$(pngcheck -v "$OUT/rgb640.png")" "3780x3780 pixels/meter"
expect "palette100.png has 10 PLTE entries" "$(pngcheck -v "$OUT/palette100.png")" "PLTE .* 10 palette entries"
expect "palette300.png has 256 PLTE entries" "$(pngcheck -v "$OUT/palette300.png")" "PLTE .* 256 palette entries"
expect "giftransparent.png has one tRNS entry" "$(pngcheck -v "$OUT/giftransparent.png")" "tRNS .* 1 transparency entry"
expect "rgba.png is RGBA" "$(pngcheck -v "$OUT/rgba.png")" "32-bit RGB\+alpha"
for f in rgb640.png palette100.png palette300.png giftransparent.png rgba.png greyjpeg.png; do
  expect "$f passes pngcheck" "$(pngcheck "$OUT/$f" 2>&1)" "^OK: "
done
jpeg=$(identify -verbose "$OUT/rgb640.jpg" 2>&1)
expect "rgb640.jpg quality 90" "$jpeg" "Quality: 90"
expect "rgb640.jpg 96 dpi" "$jpeg" "Resolution: 96x96"
expect "rgb640.jpg units" "$jpeg" "Units: PixelsPerInch"
expect "rgb640.jpg baseline" "$jpeg" "Interlace: None"
expect "rgb640.jpg 2x2 chroma" "$jpeg" "sampling-factor: 2x2,1x1,1x1"
expect "grey.jpg one component" "$(identify -verbose "$OUT/grey.jpg")" "Colorspace: Gray"
echo "$((16 - failures)) passed, $failures failed"
[ "$failures" = 0 ]
