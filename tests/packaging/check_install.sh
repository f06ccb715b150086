#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs a build into a scratch DESTDIR under /usr and checks what a desktop then sees
# (after the databases are updated as Debian's triggers do on a package's install):
# exactly the expected files, icons of the size their folder says, a MIME type that tells a
# Windows theme from an icon theme's index.theme, and the desktop entry offered for it.
# Usage: check_install.sh <build dir> <scratch dir> <expected file list> <sample .theme>
set -euo pipefail
build=$1 scratch=$2 expected=$3 sample=$4
id=org.example.skinsmith
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch"
DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
prefix=$scratch/root/usr

diff -u "$expected" <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "the installed files differ from $expected"
[ -x "$prefix/bin/skinsmith" ] || fail "the binary is not executable"

for png in "$prefix"/share/icons/hicolor/*x*/apps/$id.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    file "$png" | grep -q "PNG image data, ${size/x/ x }," || fail "$png is not a $size PNG"
done

# The MIME database as shared-mime-info's trigger builds it: every installed definition merged
# into one, since which of two types sharing a glob wins depends on the merged order.
mkdir -p "$scratch/share/mime/packages"
cp /usr/share/mime/packages/*.xml "$prefix"/share/mime/packages/*.xml "$scratch/share/mime/packages/"
update-mime-database "$scratch/share/mime" >/dev/null || fail "update-mime-database refused the definition"
# And the desktop entries' MIME cache, as desktop-file-utils' trigger builds it.
update-desktop-database "$prefix/share/applications" || fail "update-desktop-database failed"
cp "$sample" "$scratch/Autumn.theme"
printf '[Icon Theme]\nName=Autumn\nDirectories=16x16/apps\n' >"$scratch/index.theme"
# The merged MIME database and the installed desktop entry, nothing of the user's.
export XDG_DATA_HOME=$scratch/nothing XDG_CONFIG_HOME=$scratch/nothing
export XDG_DATA_DIRS=$scratch/share:$prefix/share PATH=$prefix/bin:$PATH  # TryExec looks there
type_of() { gio info -a standard::content-type "$1" | sed -n 's/.*standard::content-type: //p'; }
[ "$(type_of "$scratch/Autumn.theme")" = application/x-win95-theme ] ||
    fail "a Windows theme file is $(type_of "$scratch/Autumn.theme")"
[ "$(type_of "$scratch/index.theme")" = application/x-theme ] ||
    fail "an icon theme's index.theme is $(type_of "$scratch/index.theme")"
# Read whole before grep: with pipefail, grep -q leaving early would fail the pipe at random.
handlers() { gio mime "$1" 2>&1 || true; }
grep -q "$id.desktop" <<<"$(handlers application/x-win95-theme)" ||
    fail "the desktop entry is not offered for Windows theme files"
! grep -q "$id.desktop" <<<"$(handlers application/x-theme)" ||
    fail "the desktop entry is offered for every .theme file, icon themes' too"
echo "install: $(wc -l <"$expected") files as expected; MIME type and file association work"
