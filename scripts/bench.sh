#!/usr/bin/env bash
# Measures Huepeek under Wine and prints each figure beside a floor measured in the same run (a
# program that does the least the same step needs) and the ratio, with the machine and the date:
#   scripts/bench.sh           every measurement (about four minutes)
#   scripts/bench.sh size|start|click|load|picker|idle|memory
#                              one of them
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

bench="$root/build/windows/bench"
huepeek="$bin/huepeek.exe"
runs=11
want() { [ "$what" = all ] || [ "$what" = "$1" ]; }
reset_settings() { wine reg delete 'HKCU\Software\Vantorel' /f >/dev/null 2>&1; }
# Windows paths of the programs, for the ones that start others.
win_huepeek="$(winepath -w "$huepeek" 2>/dev/null)"
win_floor_dialog="$(winepath -w "$bench/floor_dialog.exe" 2>/dev/null)"
win_floor_resident="$(winepath -w "$bench/floor_resident.exe" 2>/dev/null)"

# RssAnon of a Linux process in KiB: the memory that is the process's own (heap, stacks, bitmaps).
private_kib() { sed -n 's/^RssAnon:\s*\([0-9]*\).*/\1/p' /proc/"$1"/status; }

if want size; then
    echo "== Size"
    python3 "$root/tests/bench/exe_size.py" "$huepeek" "$bench/floor_empty.exe"
fi

if want start; then
    echo "== Start (CreateProcess to the window on screen; floor: a program that shows one dialog)"
    reset_settings
    wine "$bench/launch_bench.exe" start "$runs" "$win_huepeek" "" "#32770" "$win_floor_dialog" "" "#32770"
    wine "$bench/launch_bench.exe" start "$runs" "$win_huepeek" "huepeek" "RealTimeMagnifier1_____5" \
        "$win_floor_dialog" "" "#32770"
fi

if want click; then
    echo "== Tray click (floor: a resident program that copies the screen with one BitBlt and shows a popup)"
    reset_settings
    wine "$bench/launch_bench.exe" tray 31 "$win_huepeek" "$win_floor_resident"
fi

if want load; then
    echo "== Language archive"
    wine "$bench/archive_load_bench.exe"
fi

if want picker; then
    echo "== Picker (in process)"
    wine "$bench/picker_bench.exe"
fi

if want idle || want memory; then
    reset_settings
    wine "$huepeek" -bg </dev/null >/dev/null 2>&1 &
    pid=$(unix_pid 'huepeek.exe -bg') || { echo "huepeek did not start"; exit 1; }
    wine "$bench/floor_resident.exe" </dev/null >/dev/null 2>&1 &
    floor=$(unix_pid 'floor_resident.exe') || { echo "the floor did not start"; exit 1; }
    sleep 3
    if want memory; then
        echo "== Memory (private: RssAnon)"
        printf '%-52s %6d KiB   floor %6d KiB   difference %+d KiB\n' "Idle in the tray" \
            "$(private_kib "$pid")" "$(private_kib "$floor")" $(( $(private_kib "$pid") - $(private_kib "$floor") ))
    fi
    if want idle; then
        echo "== Idle CPU (thread 1: the 1 s timer; thread 2: the watchdog, a check per 5 s)"
        idle "Huepeek in the tray, before the picker was used" 30 "$pid"
        idle "Floor: a message loop with the same timer and thread" 30 "$floor"
    fi
    wine "$bench/launch_bench.exe" open-picker
    sleep 2
    if want memory; then
        printf '%-52s %6d KiB   (the screen snapshot is in it)\n' "While picking" "$(private_kib "$pid")"
    fi
    if want idle; then
        idle "Picker open, the cursor at rest" 10 "$pid"
    fi
    wine "$bench/launch_bench.exe" close-picker
    sleep 1
    if want idle; then
        idle "Huepeek in the tray, after the picker was used" 30 "$pid"
    fi
    kill "$pid" "$floor" 2>/dev/null
fi
