#!/usr/bin/env bash
# Installs what building and testing Huepeek needs, from Debian's packages only. Quiet and quick
# when everything is there already.
set -euo pipefail

packages=(
    cmake make g++ clang libclang-rt-14-dev googletest
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
    wine wine64 fonts-wine xvfb x11-utils xdotool xclip imagemagick python3 bc procps unzip
    # Fonts that Wine finds for the scripts its own fonts lack (the main dialog's text-fit test
    # measures every language with them): Arabic, Persian, Hebrew and some Vietnamese letters;
    # Thai; Japanese; Korean and Chinese; Devanagari.
    fonts-dejavu-core fonts-thai-tlwg-ttf fonts-ipafont-gothic fonts-wqy-microhei fonts-lohit-deva
    # An X server with two monitors side by side for the two-monitor tests (scripts/two_monitors.sh).
    xserver-xorg-core xserver-xorg-video-dummy
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
