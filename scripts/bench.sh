#!/usr/bin/env bash
# Measures Huepeek under Wine and prints each figure, with the machine and the date:
#   scripts/bench.sh           every measurement
#   scripts/bench.sh tray      only the idle tray (30 s)
# Builds first (like scripts/test.sh); runs in a Wine prefix and an Xvfb display of its own.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh" || exit 1
cmake --preset windows >/dev/null && cmake --build --preset windows -j "$(nproc)" >/dev/null || exit 1
what="${1:-all}"
bin="$root/build/windows/bin"

source "$root/scripts/wine_env.sh"
trap wine_env_stop EXIT
wine_env_start "$root/build/windows/wine-bench" "$bin/wine_keepalive.exe" || exit 1
wine reg delete 'HKCU\Software\Vantorel' /f >/dev/null 2>&1

echo "Huepeek benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(wine --version)"

# Per thread of a Linux process: "cpu_ms switches" lines, the main thread first. Voluntary context
# switches count the times a thread gave up the processor: under Wine each wake-up costs a few
# (the round trips to the Wine server), so they are an upper bound of the wake-ups.
sample() {
    local pid=$1 t f
    for t in /proc/"$pid"/task/*; do
        [ -r "$t/stat" ] || continue
        read -r -a f < "$t/stat"
        echo "$(( (f[13] + f[14]) * 1000 / $(getconf CLK_TCK) )) $(sed -n 's/^voluntary_ctxt_switches:\s*//p' "$t/status")"
    done
}

# The Linux process of a Windows program started by wine.
unix_pid() {
    local name=$1 pid
    for _ in $(seq 100); do
        pid=$(pgrep -f "$name" | head -n 1)
        [ -n "$pid" ] && { echo "$pid"; return 0; }
        sleep 0.05
    done
    return 1
}

idle() {
    local label=$1 seconds=$2 pid=$3 before after i
    mapfile -t before < <(sample "$pid")
    sleep "$seconds"
    mapfile -t after < <(sample "$pid")
    echo "$label, over $seconds s:"
    for i in "${!after[@]}"; do
        read -r -a x <<< "${before[$i]:-0 0}"
        read -r -a y <<< "${after[$i]}"
        printf '    thread %d: %5d ms CPU, %5d context switches\n' "$((i + 1))" $((y[0] - x[0])) $((y[1] - x[1]))
    done
}

if [ "$what" = all ] || [ "$what" = tray ]; then
    # The host window's 1 s timer and the watchdog's 5 s check are the only reasons to wake.
    wine "$bin/huepeek.exe" -bg </dev/null >/dev/null 2>&1 &
    pid=$(unix_pid 'huepeek.exe -bg') || { echo "huepeek did not start"; exit 1; }
    sleep 3
    idle "Idle in the tray (thread 1: the host window's 1 s timer; thread 2: the watchdog, one check per 5 s)" 30 "$pid"
    wineserver -k >/dev/null 2>&1; wine_env_stop; wine_env_start "$root/build/windows/wine-bench" "$bin/wine_keepalive.exe" >/dev/null
fi
