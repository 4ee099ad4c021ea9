#!/usr/bin/env bash
# The long fuzz run: every libFuzzer target in turn, one job at a time, with AddressSanitizer and
# UBSan, each starting from its committed seeds and its corpus in build/native/fuzz.
#   scripts/fuzz.sh                               every target for an hour
#   scripts/fuzz.sh 600                           every target for ten minutes
#   scripts/fuzz.sh archive_fuzz=7200 command_line_fuzz=600    these targets for these times
# Logs go to build/fuzz-logs, crashing inputs to build/native/fuzz/artifacts; at the end a table of
# executions, coverage and findings per target.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh" || exit 1
cmake --preset native >/dev/null || exit 1
cmake --build --preset native -j "$(nproc 2>/dev/null || echo 2)" >/dev/null || { echo "native build failed"; exit 1; }

fuzz_dir="$root/build/native/fuzz"
log_dir="$root/build/fuzz-logs"
# A copy of the targets, so that rebuilding while the run goes on changes nothing under it.
run_dir="$log_dir/bin"
mkdir -p "$log_dir" "$fuzz_dir/artifacts" "$run_dir"

default_seconds=3600
plan=()
for arg in "$@"; do
    case "$arg" in
        *=*) plan+=("$arg") ;;
        *) default_seconds="$arg" ;;
    esac
done
if [ "${#plan[@]}" -eq 0 ]; then
    for options in "$fuzz_dir"/*_fuzz.options; do
        plan+=("$(basename "$options" .options)=$default_seconds")
    done
fi

summary="$log_dir/summary.txt"
printf "%-22s %10s %12s %8s %6s %s\n" target seconds executions exec/s cov findings >"$summary"
total=0
for entry in "${plan[@]}"; do
    target="${entry%%=*}"
    seconds="${entry#*=}"
    [ -x "$fuzz_dir/$target" ] || { echo "no fuzz target $target"; exit 1; }
    cp "$fuzz_dir/$target" "$run_dir/$target"
    read -r -a options <"$fuzz_dir/$target.options"
    log="$log_dir/$target.log"
    echo "== $target for $seconds s ($(date -u '+%Y-%m-%d %H:%M UTC'))"
    "$run_dir/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$fuzz_dir/artifacts/$target-" "${options[0]}" "$fuzz_dir/${target}_corpus" \
        "${options[@]:1}" >"$log" 2>&1
    status=$?
    runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    speed=$(grep -E '^stat::average_exec_per_sec' "$log" | awk '{print $2}')
    cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -n 1 | awk '{print $2}')
    findings="none"
    [ "$status" -ne 0 ] && findings="exit $status: $(grep -m 1 -E 'ERROR|SUMMARY|Deadly|Timeout|out-of-memory' "$log")"
    total=$((total + ${runs:-0}))
    printf "%-22s %10s %12s %8s %6s %s\n" "$target" "$seconds" "${runs:-?}" "${speed:-?}" "${cov:-?}" \
        "$findings" >>"$summary"
done
echo "total executions: $total" >>"$summary"
cat "$summary"
