#!/bin/bash
# Reads the textures the ddsconv tests wrote with ImageMagick: the size it
# reports, and the decoded pixels' PSNR against the source picture.
set -u
OUT=${1:?} FIXTURES=${2:?}
failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }
check "gradient.dds is 1024x768 DDS" '[ "$(identify -format "%m %wx%h" "$OUT/gradient.dds")" = "DDS 1024x768" ]'
check "odd.dds is 37x23" '[ "$(identify -format "%wx%h" "$OUT/odd.dds")" = "37x23" ]'
psnr=$(compare -metric PSNR "$FIXTURES/intake1024x768.png" "$OUT/gradient.dds" null: 2>&1 | cut -d' ' -f1)
check "gradient.dds PSNR $psnr dB >= 38" 'awk -v p="$psnr" "BEGIN{exit !(p >= 38)}"'
echo "$((3 - failures)) passed, $failures failed"
[ "$failures" = 0 ]
