#!/bin/bash
# Opens the package the road test copied off the desktop with independent
# readers: Info-ZIP, 7-Zip, Python's zipfile, and ImageMagick on the texture.
set -u
OUT=${1:?} FIXTURES=${2:?}
ZIP=$OUT/road.zip
failures=0 checks=0
check() { checks=$((checks + 1)); if eval "$2" >/tmp/check.$$ 2>&1; then echo "ok: $1"; else echo "FAILED: $1"; cat /tmp/check.$$; failures=$((failures + 1)); fi; }
check "road.zip exists" "[ -s '$ZIP' ]"
check "unzip -t" "unzip -t '$ZIP'"
check "7z t" "7z t '$ZIP'"
check "zipinfo lists the four entries in order" \
  "[ \"\$(zipinfo -1 '$ZIP' | tr '\n' '|')\" = 'Data/|Data/Tarvex Forge.txt|Data/LoadingScreen/|Data/LoadingScreen/SRBackground.dds|' ]"
check "python: the note's GBK text" "python3 - '$ZIP' <<'PY'
import sys, zipfile
note = zipfile.ZipFile(sys.argv[1]).read('Data/Tarvex Forge.txt').decode('gbk')
lines = note.split('\r\n')
assert len(lines) == 4 and lines[0] == '本文件为Tarvex Forge一键制作载入背景软件制作！' and lines[3] == '请支持一下作者！谢谢！', lines
PY"
T=$(mktemp -d)
unzip -q -o "$ZIP" -d "$T" 2>/dev/null
check "the texture is a 1024x768 DDS to ImageMagick" \
  "[ \"\$(identify -format '%m %wx%h' '$T/Data/LoadingScreen/SRBackground.dds')\" = 'DDS 1024x768' ]"
psnr=$(compare -metric PSNR "$FIXTURES/intake1024x768.png" "$T/Data/LoadingScreen/SRBackground.dds" null: 2>&1 | cut -d' ' -f1)
check "the texture's PSNR $psnr dB >= 38" "awk -v p='$psnr' 'BEGIN{exit !(p >= 38)}'"
rm -rf "$T"
echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
