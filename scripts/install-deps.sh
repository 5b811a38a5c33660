#!/usr/bin/env bash
# Installs the Debian 12 packages Squadlink needs to build, test and run, when they are missing.
set -euo pipefail

packages=(
    g++ clang cmake ninja-build pkg-config
    libgtest-dev libgmock-dev googletest libbenchmark-dev libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6 libqt6network6
    qt6-qpa-plugins libfontconfig-dev libx11-dev libx11-xcb-dev libxrandr-dev libxkbcommon-dev libgl-dev
    xvfb xauth x11-utils xdg-utils desktop-file-utils appstream
    clang-format python3 imagemagick time iproute2
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
