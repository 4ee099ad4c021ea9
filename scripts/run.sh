#!/usr/bin/env bash
# Builds huepeek.exe and starts it under Wine in a prefix of the project's own.
#   On a machine with a display: in a Wine virtual desktop with a taskbar and notification area.
#   Headless: inside Xvfb, saving a screenshot whose path is printed.
# Arguments are passed to huepeek.exe (e.g. scripts/run.sh huepeek for direct picker mode).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc 2>/dev/null || echo 2)" --target huepeek wine_keepalive >/dev/null
exe="$root/build/windows/bin/huepeek.exe"
source "$root/scripts/wine_env.sh"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    wine_env_export "$root/build/windows/wine-run"
    wine_env_make_prefix
    echo "Starting Huepeek in a Wine virtual desktop on $DISPLAY"
    exec wine explorer /desktop=shell,1280x800 "$exe" "$@"
fi

trap wine_env_stop EXIT
wine_env_start "$root/build/windows/wine-run" "$root/build/windows/bin/wine_keepalive.exe"
wine explorer /desktop=shell,1280x800 "$exe" "$@" </dev/null >/dev/null 2>&1 &
sleep 4
mkdir -p "$root/build/screenshots"
shot="$root/build/screenshots/huepeek-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "Huepeek ran headless in Xvfb; screenshot: $shot"
