#!/bin/bash
# A program folder that refuses writes, for the UI tests: Windows refuses a
# standard user under "C:\Program Files", but Wine lets root write anywhere,
# so the folder is made immutable (chattr +i) for the run and released after.
#   readonly_folder.sh make <folder> <TarvexForge.exe>
#   readonly_folder.sh release <folder>
set -euo pipefail
what=${1:?make or release} folder=${2:?folder}
[ -d "$folder" ] && chattr -i "$folder"
[ "$what" = release ] && exit 0
rm -rf "$folder" && mkdir -p "$folder"
cp "${3:?program}" "$folder/TarvexForge.exe"
chattr +i "$folder"
if touch "$folder/probe" 2>/dev/null; then
  rm -f "$folder/probe"
  echo "chattr +i did not make $folder refuse writes (not root, or a file system without it)" >&2
  exit 1
fi
echo "$folder refuses writes"
