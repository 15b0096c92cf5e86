#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine needs to build, test and run Pelorin.
# Quick when everything is already there: it only calls apt when a package is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    clang libclang-rt-14-dev
    qt6-base-dev libgl-dev qt6-tools-dev qt6-l10n-tools
    libpng-dev libjpeg62-turbo-dev zlib1g-dev libpixman-1-dev
    nlohmann-json3-dev libpugixml-dev libxxhash-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-translations-l10n fonts-ipafont-gothic xvfb xauth
    tiled
    desktop-file-utils appstream shared-mime-info libglib2.0-bin file dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
