#!/usr/bin/env bash
# Installs the Debian packages Quorvane needs, skipping those already present.
#   setup.sh run    what building and running the program needs
#   setup.sh test   that, plus what the tests and benchmarks need
set -euo pipefail

run_packages=(
    cmake g++ make pkg-config
    libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libsdl2-ttf-dev
    libfontconfig-dev libpng-dev zlib1g-dev libpulse-dev libasound2-dev libx11-dev libxrandr-dev
    libxss-dev libxext-dev libwayland-dev wayland-protocols libxkbcommon-dev libsystemd-dev
    fonts-dejavu-core xdg-utils
)
test_packages=(
    libgtest-dev libgmock-dev googletest libbenchmark-dev clang libclang-rt-14-dev
    xvfb xserver-xorg-core xserver-xorg-video-dummy xdotool x11-utils x11-apps x11-xserver-utils
    openbox imagemagick libxdamage-dev libxfixes-dev x11-xkb-utils stress-ng
    pulseaudio pulseaudio-utils sox pipewire pipewire-pulse wireplumber dbus-daemon dbus-bin weston
    desktop-file-utils appstream dpkg-dev file lintian man-db
)

packages=("${run_packages[@]}")
if [[ ${1:-run} == test ]]; then
    packages+=("${test_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [[ $status == installed ]] || missing+=("$p")
done
((${#missing[@]})) || exit 0

echo "setup: installing ${missing[*]}" >&2
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
