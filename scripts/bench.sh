#!/usr/bin/env bash
# Measures Huepeek under Wine and prints each figure beside a floor measured in the same run (a
# program that does the least the same step needs) and the ratio, with the machine and the date:
#   scripts/bench.sh           every measurement (about six minutes), then the goals each meets
#   scripts/bench.sh size|start|click|load|picker|idle|memory
#                              one of them (click: the tray click and the hot key)
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

# Everything printed is also kept, for the table of goals at the end.
output="$(mktemp)"
exec > >(tee "$output")

echo "Load: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5 and 15 minutes) before the run"
echo "Huepeek benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(wine --version)"

# Per thread of a Linux process: "cpu_ns switches" lines, the main thread first. The CPU time comes
# from schedstat (nanoseconds; the clock ticks of stat count in 10 ms steps). Voluntary context
# switches count the times a thread gave up the processor: under Wine each wake-up costs a few (the
# round trips to the Wine server), so they are an upper bound of the wake-ups.
sample() {
    local pid=$1 t ns
    for t in /proc/"$pid"/task/*; do
        [ -r "$t/schedstat" ] || continue
        read -r ns _ < "$t/schedstat"
        echo "$ns $(sed -n 's/^voluntary_ctxt_switches:\s*//p' "$t/status")"
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

# CPU milliseconds and wake-ups of each process over SECONDS, measured side by side: prints
# "LABEL cpu_ms" lines into the file OUT and the per-thread figures to the output.
#   measure_cpu SECONDS OUT LABEL PID [LABEL PID ...]
measure_cpu() {
    local seconds=$1 out=$2 i j
    shift 2
    local -a labels=() pids=() before=()
    while [ $# -gt 0 ]; do labels+=("$1"); pids+=("$2"); shift 2; done
    for i in "${!pids[@]}"; do before[i]="$(sample "${pids[i]}")"; done
    sleep "$seconds"
    : > "$out"
    for i in "${!pids[@]}"; do
        local -a x=() y=()
        mapfile -t x <<< "${before[i]}"
        mapfile -t y < <(sample "${pids[i]}")
        local total=0 lines=""
        for j in "${!y[@]}"; do
            read -r -a a <<< "${x[j]:-0 0}"
            read -r -a b <<< "${y[j]}"
            local ns=$(( b[0] - a[0] ))
            total=$(( total + ns ))
            lines+="$(printf '    thread %d: %7.1f ms CPU, %5d context switches' "$((j + 1))" "$(awk "BEGIN { print $ns / 1e6 }")" $(( b[1] - a[1] )))"$'\n'
        done
        echo "${labels[i]}, over $seconds s:"
        printf '%s' "$lines"
        echo "${labels[i]} $(awk "BEGIN { print $total / 1e6 }")" >> "$out"
    done
}

# Prints one row: LABEL, our figure, the floor's, the unit and the ratio.
row() {
    awk -v label="$1" -v a="$2" -v b="$3" -v unit="$4" \
        'BEGIN { printf "%-44s %8.1f %-3s floor %8.1f %-3s ratio %.2f\n", label, a, unit, b, unit, (b > 0 ? a / b : 0) }'
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
    echo "== Hot key (the same floor, on its own hot key)"
    reset_settings
    wine "$bench/launch_bench.exe" hotkey 31 "$win_huepeek" "$win_floor_resident"
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
    wine "$bench/floor_resident_v6.exe" </dev/null >/dev/null 2>&1 &
    floor_v6=$(unix_pid 'floor_resident_v6.exe') || { echo "the floor with the common controls 6 did not start"; exit 1; }
    sleep 8
    cpu="$(mktemp)"
    figure() { sed -n "s/^$1 //p" "$cpu"; }
    if want memory; then
        echo "== Memory (private: RssAnon; floors: the resident floor, and the same with the common controls 6 loaded)"
        ours=$(private_kib "$pid") base=$(private_kib "$floor") v6=$(private_kib "$floor_v6")
        printf '%-44s %6d KiB   floor %6d KiB   difference %+6d KiB\n' "Private memory idle in the tray" "$ours" "$base" $((ours - base))
        printf '%-44s %6d KiB   floor %6d KiB   difference %+6d KiB\n' "  against the floor with comctl32 v6" "$ours" "$v6" $((ours - v6))
    fi
    kill "$floor_v6" 2>/dev/null
    if want idle; then
        echo "== Idle in the tray (CPU from outside, all threads; Huepeek and the resident floor side by side)"
        measure_cpu 30 "$cpu" huepeek "$pid" floor "$floor"
        row "Idle in the tray, CPU per 30 s" "$(figure huepeek)" "$(figure floor)" ms
    fi
    wine "$bench/launch_bench.exe" open-picker
    sleep 2
    if want memory; then
        printf '%-44s %6d KiB   (the screen snapshot is in it)\n' "While picking" "$(private_kib "$pid")"
    fi
    if want idle; then
        echo "== The picker at rest (floor: the resident floor's popup with the same two timers doing nothing)"
        measure_cpu 10 "$cpu" huepeek "$pid"
        at_rest=$(figure huepeek)
    fi
    wine "$bench/launch_bench.exe" close-picker
    if want idle; then
        wine "$bench/launch_bench.exe" open-floor
        sleep 2
        measure_cpu 10 "$cpu" floor "$floor"
        row "Picker open, cursor at rest, CPU per 10 s" "$at_rest" "$(figure floor)" ms
        wine "$bench/launch_bench.exe" close-floor
        sleep 1
        echo "== Idle in the tray after the picker was used"
        measure_cpu 30 "$cpu" huepeek "$pid" floor "$floor"
        row "Idle after picking, CPU per 30 s" "$(figure huepeek)" "$(figure floor)" ms
    fi
    rm -f "$cpu"
    kill "$pid" "$floor" 2>/dev/null
fi

# The goals, each from a figure above and its floor of this run: "ratio" rows by their ratio, the
# others by their difference or their own value.
if [ "$what" = all ]; then
    echo "== Goals"
    goal() {
        awk -v label="$1" -v kind="$2" -v limit="$3" -v name="$4" '
            index($0, label) == 1 {
                if (kind == "ratio") { for (i = 1; i < NF; ++i) if ($i == "ratio") value = $(i + 1) }
                else if (kind == "difference") { for (i = 1; i < NF; ++i) if ($i == "difference") value = $(i + 1) + 0 }
                else if (kind == "bytes") value = $2 + 0
                else value = $(NF - 6) + 0
                found = 1
            }
            END {
                if (!found) { printf "%-48s not measured\n", name; exit }
                printf "%-48s %10s   goal %-9s %s\n", name, value, (kind == "value" ? "<= " limit " ms" : kind == "ratio" ? "<= " limit "x" : kind == "bytes" ? "< " limit " bytes" : "<= +" limit " KiB"),
                       ((kind == "bytes" ? value + 0 < limit + 0 : value + 0 <= limit + 0) ? "met" : "not met")
            }' "$output"
    }
    goal "huepeek.exe:" bytes 153600 "Size of huepeek.exe (under 150 KiB)"
    goal "Start to #32770 visible" ratio 1.25 "Start to the main dialog (ratio)"
    goal "Start to RealTimeMagnifier1_____5 visible" ratio 1.25 "Direct picker start (ratio)"
    goal "Tray click to the magnifier on screen" ratio 1.2 "Tray click to the magnifier (ratio)"
    goal "Hot key to the magnifier on screen" ratio 1.2 "Hot key to the magnifier (ratio)"
    goal "Picker open, cursor at rest, CPU per 10 s" ratio 1.5 "Picker at rest, CPU (ratio)"
    goal "Idle in the tray, CPU per 30 s" value 8 "Idle in the tray, CPU per 30 s (ms)"
    goal "Private memory idle in the tray" difference 2048 "Private memory idle, over the floor"
    goal "  against the floor with comctl32 v6" difference 819 "Private memory idle, over the comctl32 v6 floor"
fi
rm -f "$output"
