#!/usr/bin/env bash
# Builds everything and runs every test headless: the native core tests and fuzzers, then the
# Windows unit and end-to-end tests under Wine in an Xvfb display of their own.
#   scripts/test.sh               everything
#   scripts/test.sh -R picker     only tests whose names match (passed on to both ctest runs)
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh" || exit 1

jobs=$(nproc 2>/dev/null || echo 2)
build() {
    cmake --preset "$1" >/dev/null || return 1
    # The build's own status: grep's (nothing left to print) does not count.
    cmake --build --preset "$1" -j "$jobs" 2>&1 | grep -v -E '^\[ *[0-9]+%\]|^-- '
    local -a status=("${PIPESTATUS[@]}")
    return "${status[0]}"
}
build native || { echo "native build failed"; exit 1; }
build windows || { echo "windows build failed"; exit 1; }

log_dir="$root/build/test-logs"
mkdir -p "$log_dir"

echo "== native tests"
ctest --preset native -j "$jobs" "$@" 2>&1 | tee "$log_dir/native.log"
native_status=${PIPESTATUS[0]}

echo "== windows tests (under Wine)"
source "$root/scripts/wine_env.sh"
trap wine_env_stop EXIT
wine_env_start "$root/build/windows/wine" "$root/build/windows/bin/wine_keepalive.exe" || exit 1
ctest --preset windows -j "$jobs" "$@" 2>&1 | tee "$log_dir/windows.log"
windows_status=${PIPESTATUS[0]}
wine_env_stop
trap - EXIT

count() { grep -E 'tests passed, [0-9]+ tests? failed out of' "$1" | tail -n 1 | sed -E "s/.* ([0-9]+) tests? failed out of ([0-9]+).*/$2/"; }
failed=$(( $(count "$log_dir/native.log" '\1' || echo 0) + $(count "$log_dir/windows.log" '\1' || echo 0) ))
total=$(( $(count "$log_dir/native.log" '\2' || echo 0) + $(count "$log_dir/windows.log" '\2' || echo 0) ))
echo
echo "== native: $(grep -E 'tests passed' "$log_dir/native.log" | tail -n 1)"
echo "== windows: $(grep -E 'tests passed' "$log_dir/windows.log" | tail -n 1)"
if [ "$total" -gt 0 ]; then
    echo "$(( (total - failed) * 100 / total ))% tests passed, $failed tests failed out of $total"
fi
[ "$native_status" -eq 0 ] && [ "$windows_status" -eq 0 ] && [ "$total" -gt 0 ]
