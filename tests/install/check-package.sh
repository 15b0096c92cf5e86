#!/usr/bin/env bash
# The Debian package that `make package` left in DIR: its fields, exactly the files of FILES
# under /usr, and programs of VERSION that run from it. Exits 77 (skipped) when there is no
# package to check.
set -euo pipefail
dir=$1
files=$2
version=$3
debs=("$dir"/pelorin_*.deb)
if [ ! -e "${debs[0]}" ]; then
    echo "no pelorin_*.deb in $dir: run make package first"
    exit 77
fi
want() { [ "$2" = "$3" ] || { echo "$1: '$2', expected '$3'" >&2; exit 1; }; }
want "packages in $dir" "${#debs[@]}" 1
deb=${debs[0]}
want "file name" "$(basename "$deb")" "pelorin_${version}_amd64.deb"

field() { dpkg-deb -f "$deb" "$1"; }
want Package "$(field Package)" pelorin
want Version "$(field Version)" "$version"
want Section "$(field Section)" graphics
depends=$(field Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libpng16-16 libc6; do
    grep -qE "(^|, )$library( |,|$)" <<<"$depends" ||
        { echo "Depends lacks $library: $depends" >&2; exit 1; }
done
grep -q fonts-ipafont-gothic <<<"$(field Recommends)" ||
    { echo "no Japanese font recommended" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$deb" "$root"
want "top folders" "$(ls -A "$root")" usr
(cd "$root/usr" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) > "$work/got"
LC_ALL=C sort "$files" | diff -u - "$work/got"
want "pelorin --version" "$("$root/usr/bin/pelorin" --version)" "pelorin $version"
want "pelorin-tool --version" "$("$root/usr/bin/pelorin-tool" --version)" "pelorin-tool $version"
echo "$deb: fields, files and programs as they should be"
