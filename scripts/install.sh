#!/usr/bin/env bash
# Installs the programs built in BUILD under PREFIX (make install), then refreshes that prefix's
# caches of file types, menu entries and icons so that the desktop sees them at once.
set -euo pipefail
build=$1
prefix=$(realpath -m "$2")

# Root rights only when the prefix cannot be written as we are.
sudo=""
existing=$prefix
while [ ! -e "$existing" ]; do existing=$(dirname "$existing"); done
if [ ! -w "$existing" ] && [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
$sudo cmake --install "$build" --prefix "$prefix" --strip

# A missing tool or a failure here leaves only a cache stale: the files are in place.
share=$prefix/share
if command -v update-mime-database >/dev/null; then
    $sudo update-mime-database "$share/mime" || true
fi
if command -v update-desktop-database >/dev/null; then
    $sudo update-desktop-database -q "$share/applications" || true
fi
# An icon cache only where a theme is kept (one with its index): elsewhere the folders are read
# as they are, and a cache nobody refreshes would hide icons installed later.
if command -v gtk-update-icon-cache >/dev/null && [ -e "$share/icons/hicolor/index.theme" ]; then
    $sudo gtk-update-icon-cache -q "$share/icons/hicolor" || true
fi
echo "Installed Pelorin under $prefix"
