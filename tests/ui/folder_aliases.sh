#!/bin/bash
# One folder by other paths, as Windows users reach a program folder: a
# drive letter onto it (what subst or a mapped network drive gives), a
# symbolic link to it, and a share's \\server\share name (Wine's
# dosdevices/unc links). The program folder of the one-copy tests gets all
# three; the pipeline tests' folder is shared too.
#   folder_aliases.sh make <build-tree> <wine-prefix> <drive> <server>
#   folder_aliases.sh release <build-tree> <wine-prefix> <drive> <server>
set -euo pipefail
what=${1:?make or release} tree=${2:?build tree} prefix=${3:?wine prefix}
drive=${4:?drive letter, as t:} server=${5:?server name}
devices=$prefix/dosdevices
rm -f "$devices/$drive" "$tree/aliased-program-link"
rm -rf "$devices/unc/$server" "$tree/aliased-program"
[ "$what" = release ] && exit 0
mkdir -p "$tree/aliased-program" "$devices/unc/$server"
ln -s "$tree/aliased-program" "$devices/$drive"
ln -s "$tree/aliased-program" "$tree/aliased-program-link"
ln -s "$tree/aliased-program" "$devices/unc/$server/program"
ln -s "$tree/tests/builder" "$devices/unc/$server/builder"
echo "$tree/aliased-program: also $drive, aliased-program-link and \\\\$server\\program"
