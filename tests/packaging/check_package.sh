#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package from a build folder and checks it with dpkg-deb: its name, its
# control fields (dependencies worked out by dpkg-shlibdeps) and exactly the expected files.
# Usage: check_package.sh <build dir> <scratch dir> <version> <expected file list>
set -euo pipefail
build=$1 scratch=$2 version=$3 expected=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch"
(cd "$build" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log") ||
    { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb=$scratch/skinsmith_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$scratch")"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = skinsmith ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
for dependency in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 libsdl2-2.0-0 libarchive13; do
    field Depends | tr ',' '\n' | grep -q "^ *$dependency " ||
        fail "Depends lacks $dependency: $(field Depends)"
done
# Export runs mtools' programs: no library link brings it in.
field Depends | tr ',' '\n' | grep -qx ' *mtools' || fail "Depends lacks mtools: $(field Depends)"
[ -n "$(field Description)" ] && [ -n "$(field Maintainer)" ] && [ -n "$(field Homepage)" ] ||
    fail "Description, Maintainer or Homepage is empty"

diff -u <(sed 's|^|./usr/|' "$expected") \
    <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | LC_ALL=C sort) ||
    fail "the package's files differ from $expected"
# Every entry belongs to root, whoever built the package.
dpkg-deb --contents "$deb" | awk '$2 != "root/root" { bad = 1; print } END { exit bad }' ||
    fail "files not owned by root"
echo "package: $(basename "$deb"), Depends: $(field Depends)"
