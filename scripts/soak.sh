#!/usr/bin/env bash
# The Windows tests under load, again and again: one libFuzzer target keeps a core busy while the
# whole Windows suite runs several times in a row, each run in a fresh test environment as
# scripts/test.sh gives it. At the end: how many runs passed, and every test that failed.
#   scripts/soak.sh                 ten runs beside archive_text_fuzz
#   scripts/soak.sh 3               three runs
#   scripts/soak.sh 10 -R Magnifier ten runs of the tests whose names match (passed on to ctest)
#   SOAK_FUZZ=archive_fuzz scripts/soak.sh    another fuzz target as the load
# Logs go to build/soak-logs (run-N.log, fuzz.log, summary.txt).
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh" || exit 1

runs=10
if [ $# -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]]; then
    runs="$1"
    shift
fi
target="${SOAK_FUZZ:-archive_text_fuzz}"

jobs=$(nproc 2>/dev/null || echo 2)
for preset in native windows; do
    cmake --preset "$preset" >/dev/null || exit 1
    cmake --build --preset "$preset" -j "$jobs" >/dev/null || { echo "$preset build failed"; exit 1; }
done

log_dir="$root/build/soak-logs"
rm -rf "$log_dir"
mkdir -p "$log_dir"
fuzz_dir="$root/build/native/fuzz"
[ -x "$fuzz_dir/$target" ] || { echo "no fuzz target $target"; exit 1; }

# The load: the fuzz target in a loop of its own, started again whenever it stops (a finding ends
# a run of libFuzzer).
read -r -a options <"$fuzz_dir/$target.options"
(
    child=""
    trap '[ -n "$child" ] && kill "$child" 2>/dev/null; exit 0' TERM
    while :; do
        "$fuzz_dir/$target" -max_total_time=3600 -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$log_dir/$target-" "${options[0]}" "$fuzz_dir/${target}_corpus" \
            "${options[@]:1}" >>"$log_dir/fuzz.log" 2>&1 &
        child=$!
        wait "$child"
    done
) &
load_pid=$!

source "$root/scripts/wine_env.sh"
stop() {
    kill "$load_pid" 2>/dev/null
    wait "$load_pid" 2>/dev/null
    wine_env_stop
}
trap stop EXIT

passed=0
summary="$log_dir/summary.txt"
: >"$summary"
for run in $(seq "$runs"); do
    log="$log_dir/run-$run.log"
    start=$(date +%s)
    if wine_env_start "$root/build/windows/wine" "$root/build/windows/bin/wine_keepalive.exe" >/dev/null; then
        ctest --preset windows -j "$jobs" "$@" >"$log" 2>&1
        status=$?
    else
        echo "the test environment did not start" >"$log"
        status=1
    fi
    wine_env_stop
    seconds=$(($(date +%s) - start))
    failed=$(grep -E '^\s+[0-9]+ - .* \((Failed|Timeout|Not Run|Exception)\)' "$log" | sed -E 's/^\s+[0-9]+ - //')
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        echo "run $run: passed in $seconds s" | tee -a "$summary"
    else
        echo "run $run: FAILED in $seconds s: $(echo "$failed" | tr '\n' ' ')" | tee -a "$summary"
    fi
done
echo "$passed of $runs runs passed beside $target ($(grep -c . "$log_dir/fuzz.log" 2>/dev/null || echo 0) fuzz log lines)" |
    tee -a "$summary"
[ "$passed" -eq "$runs" ]
