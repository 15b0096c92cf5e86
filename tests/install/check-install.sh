#!/usr/bin/env bash
# What is installed from BUILD: `cmake --install` gives exactly the files listed in FILES, and
# after `make install`'s script (scripts/install.sh) into a fresh prefix, programs of VERSION run
# from there and a desktop given that prefix's share/ folder knows Pelorin's files by their first
# bytes and opens them with its menu entry.
set -euo pipefail
build=$1
files=$2
version=$3
top=$(cd "$(dirname "$0")/../.." && pwd)
want() { [ "$2" = "$3" ] || { echo "$1: '$2', expected '$3'" >&2; exit 1; }; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/plain" >/dev/null
(cd "$work/plain" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) > "$work/got"
LC_ALL=C sort "$files" | diff -u - "$work/got"

# The desktop (GIO) with this prefix's data first. The entry names its program by TryExec, which
# must be found. The caches' tools say what they could not read on stderr and exit 0 all the same.
prefix=$work/prefix
share=$prefix/share
export XDG_DATA_HOME=$share XDG_DATA_DIRS=/usr/share PATH=$prefix/bin:$PATH
"$top/scripts/install.sh" "$build" "$prefix" >/dev/null 2>"$work/errors" ||
    { cat "$work/errors" >&2; exit 1; }
want "complaints of scripts/install.sh" "$(cat "$work/errors")" ""
want "pelorin --version" "$("$prefix/bin/pelorin" --version)" "pelorin $version"
want "pelorin-tool --version" "$("$prefix/bin/pelorin-tool" --version)" "pelorin-tool $version"

type_of() { gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'; }
expect() { want "type of $(basename "$1")" "$(type_of "$1")" "$2"; }
not_ours() {
    case $(type_of "$1") in
        application/x-pelorin-*) echo "$1 taken for ours" >&2; exit 1 ;;
    esac
}
d=$work/files
mkdir "$d"
printf 'MAPB\x10\0\0\0' > "$d/binary.map"
printf 'MAPT\r\n32\r\n32\r\n' > "$d/text.map"
printf 'MAPB\x10\0\0\0' > "$d/no-extension"
printf 'KIND\x04\0\0\0' > "$d/a.knd"
printf 'KIND\x04\0\0\0' > "$d/attributes"
printf 'linker map\n' > "$d/linker.map"
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' > "$d/picture.map"
expect "$d/binary.map" application/x-pelorin-map
expect "$d/text.map" application/x-pelorin-map
expect "$d/no-extension" application/x-pelorin-map
expect "$d/a.knd" application/x-pelorin-attributes
expect "$d/attributes" application/x-pelorin-attributes
not_ours "$d/linker.map"
not_ours "$d/picture.map"
for type in application/x-pelorin-map application/x-pelorin-attributes; do
    handlers=$(gio mime "$type")  # not piped to grep -q, whose early exit fails the pipe
    grep -q 'io\.github\.pelorin\.Pelorin\.desktop' <<<"$handlers" ||
        { echo "no menu entry opens $type" >&2; exit 1; }
done
