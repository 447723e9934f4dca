#!/bin/bash
# Opens the archives the archiver tests wrote with independent readers:
# Info-ZIP's unzip -t and zipinfo, Python's zipfile and 7-Zip.
set -u
OUT=${1:?}
failures=0 checks=0
check() { checks=$((checks + 1)); if eval "$2" >/tmp/check.$$ 2>&1; then echo "ok: $1"; else echo "FAILED: $1"; cat /tmp/check.$$; failures=$((failures + 1)); fi; }
for zip in staging three readonly partial replaced; do
  check "unzip -t $zip.zip" "unzip -t '$OUT/$zip.zip'"
  check "7z t $zip.zip" "7z t '$OUT/$zip.zip'"
done
check "empty.zip is an empty archive" "python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); assert z.namelist()==[]\" '$OUT/empty.zip'"
check "zipinfo: made by 0x0B17 (11.23), needs 2.0, UT field" \
  "zipinfo -v '$OUT/staging.zip' | grep -q 'file system or operating system of origin:' && zipinfo -v '$OUT/staging.zip' | grep -q 'minimum software version required to extract:   2.0' && zipinfo -v '$OUT/staging.zip' | grep -q 'extended local header:                          no'"
check "python: names, sizes, CRCs and UT extra fields of the staging archive" "python3 - '$OUT/staging.zip' <<'PY'
import sys, zipfile, zlib
z = zipfile.ZipFile(sys.argv[1])
names = [i.filename for i in z.infolist()]
assert names == ['Data/', 'Data/Tarvex Forge.txt', 'Data/LoadingScreen/', 'Data/LoadingScreen/SRBackground.dds'], names
for i in z.infolist():
    data = z.read(i)
    assert zlib.crc32(data) & 0xffffffff == i.CRC and len(data) == i.file_size
    assert i.extra[:4] == b'UT\x05\x00' and i.extra[4] == 7, i.extra
    assert i.create_version == 23 and i.create_system == 11, (i.create_version, i.create_system)
    assert i.flag_bits & 0x8 == 0
assert z.getinfo('Data/LoadingScreen/SRBackground.dds').compress_type == 8
print('ok')
PY"
echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
