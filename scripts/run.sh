#!/usr/bin/env bash
# Starts the editor built in the given folder. On the first start it writes a settings file
# that names the sample chip sheet, so that there is something to paint with at once.
set -euo pipefail
build=${1:-build-release}
top=$(cd "$(dirname "$0")/.." && pwd)
exe="$top/$build/app/qt/pelorin"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "pelorin: there is no display to open its windows on (DISPLAY is not set)." >&2
    echo "Run it from a desktop session, or on a virtual one: xvfb-run -a make run" >&2
    exit 1
fi

ini="$(dirname "$exe")/Pelorin.ini"
own="${XDG_CONFIG_HOME:-$HOME/.config}/pelorin/Pelorin.ini"
if [ ! -e "$ini" ] && [ ! -e "$own" ]; then
    printf '[ChipInfo]\npath=%s\n' "$top/res/chips.png" > "$ini" 2>/dev/null || true
fi
exec "$exe"
