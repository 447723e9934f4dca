#!/bin/bash
# Two small disks for the UI tests (tmpfs, mounted for the run and
# unmounted after): a program folder that holds the program and its carried
# tools but not a large picture's working copies, and a desktop that holds
# an earlier 1 MB package with about 0.6 MB to spare.
#   full_disks.sh make <folder> <TarvexForge.exe>
#   full_disks.sh release <folder>
set -euo pipefail
what=${1:?make or release} folder=${2:?folder}
# Lazily: the test bench's desktop shell may still watch the redirected
# desktop; the disk goes once it lets go.
for disk in program desktop; do
  if mountpoint -q "$folder/$disk"; then umount -l "$folder/$disk"; fi
done
[ "$what" = release ] && { rm -rf "$folder"; exit 0; }
mkdir -p "$folder/program" "$folder/desktop"
mount -t tmpfs -o size=6m tmpfs "$folder/program" ||
  { echo "cannot mount a small disk at $folder/program (tmpfs needs root)" >&2; exit 1; }
mount -t tmpfs -o size=1600k tmpfs "$folder/desktop" ||
  { umount "$folder/program"; echo "cannot mount a small disk at $folder/desktop" >&2; exit 1; }
cp "${3:?program}" "$folder/program/TarvexForge.exe"
echo "$folder/program and $folder/desktop: $(df -h --output=size "$folder/program" "$folder/desktop" | tail -n 2 | tr -s ' \n' ' ')"
