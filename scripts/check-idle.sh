#!/usr/bin/env bash
# The editor, started and left alone, must use no processor time: under 1% of one core over
# ten seconds. Runs it on Qt's offscreen platform with its own settings, lock and recovery folders.
set -euo pipefail
exe=$1
seconds=${2:-10}
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/run" "$work/config"
cp "$exe" "$work/bin/pelorin"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" \
    XDG_STATE_HOME="$work/state" \
    "$work/bin/pelorin" >/dev/null 2>&1 &
pid=$!
sleep 3  # start-up and the first drawing are not idle time
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
hz=$(getconf CLK_TCK)
# Percent of one core, in hundredths.
used=$(( (after - before) * 10000 / (hz * seconds) ))
printf 'pelorin idle: %d.%02d%% of one core over %ds\n' $((used / 100)) $((used % 100)) "$seconds"
[ "$used" -lt 100 ]
