#!/usr/bin/env bash
# A second test environment for the tests that need two monitors: an Xorg server with the dummy
# driver lays a 1024 x 768 monitor left of a 1280 x 800 primary (tests/e2e/two_monitors.conf; Xvfb
# would stack its screens on top of each other), with a Wine prefix and a primed wineserver of its
# own, so that the main environment of the test run stays as it is and the two run side by side.
# ctest starts and stops it as a fixture round the tests that run in it.
#   two_monitors.sh start DIR MAIN_DIR KEEPALIVE_EXE   the prefix is made from MAIN_DIR's
#   two_monitors.sh run DIR PROGRAM [ARGUMENTS...]    runs a Windows program there
#   two_monitors.sh stop DIR
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/wine_env.sh"

command="${1:-}"
[ $# -ge 2 ] || { echo "usage: two_monitors.sh start|run|stop DIR ..." >&2; exit 2; }
mkdir -p "$2"
dir="$(cd "$2" && pwd)"
shift 2

enter() {
    wine_env_export "$dir"
    [ -s "$dir/display" ] || { echo "two_monitors: the environment in $dir is not running" >&2; return 1; }
    export DISPLAY=":$(cat "$dir/display")"
}

# The main prefix as it is, made once per version of it: its files linked, not copied (it is
# 700 MB, and Wine replaces the files it changes rather than writing into them), but for the
# registry and the .ini files, which are copied. In the user's registry, written as Wine reads it at
# start: the monitors through Xinerama (with RandR or VidMode Wine 8 reads one monitor or fails in
# its mode list), and no display scale, which a test may have set when the main registry was saved.
make_prefix() {
    local main="$1/prefix"
    local stamp="$main/.huepeek" own="$dir/prefix/.huepeek-two"
    [ -f "$stamp" ] || { echo "two_monitors: no main prefix in $main" >&2; return 1; }
    if [ -f "$own" ] && cmp -s "$stamp" "$own"; then
        return 0
    fi
    rm -rf "$dir/prefix"
    cp -al "$main" "$dir/prefix" || return 1
    local file
    for file in "$dir"/prefix/*.reg "$dir"/prefix/drive_c/windows/*.ini; do
        [ -f "$file" ] || continue
        rm -f "$file"
        cp -p "$main/${file#"$dir/prefix/"}" "$file" || return 1
    done
    awk '/^\[/ { section = $0 }
         section ~ /^\[Control Panel\\\\Desktop\]/ && /^"LogPixels"=/ { next }
         { print }
         END { print ""; print "[Software\\\\Wine\\\\X11 Driver] 0"
               print "\"UseXRandR\"=\"N\""; print "\"UseXVidMode\"=\"N\"" }' \
        "$main/user.reg" >"$dir/prefix/user.reg" || return 1
    cp "$stamp" "$own"
}

start() {
    local main="$1" keepalive="$2"
    stop
    command -v Xorg >/dev/null || { echo "two_monitors: no Xorg (scripts/setup.sh installs it)" >&2; return 1; }
    # Detached from the caller's output, so that ctest does not wait for the server.
    setsid Xorg -noreset -nolisten tcp -config "$root/tests/e2e/two_monitors.conf" -logfile "$dir/xorg.log" \
        -displayfd 3 3>"$dir/display" </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/xorg.pid"
    for _ in $(seq 100); do
        [ -s "$dir/display" ] && break
        sleep 0.05
    done
    enter || { echo "two_monitors: Xorg did not start, see $dir/xorg.log" >&2; return 1; }
    make_prefix "$main" || return 1
    wineserver -p </dev/null >/dev/null 2>&1
    # The keep-alive program's start primes the server (its desktop, services and clipboard
    # helpers), detached from the caller's output as the server's own processes must be.
    rm -f "$dir/keepalive.ready"
    setsid wine "$keepalive" "Z:$dir/keepalive.ready" </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/keepalive.pid"
    for _ in $(seq 200); do
        [ -f "$dir/keepalive.ready" ] && return 0
        sleep 0.05
    done
    echo "two_monitors: the keep-alive program did not start" >&2
    return 1
}

# Ends only what start started, by the ids it wrote down.
stop() {
    [ -f "$dir/keepalive.pid" ] && kill "$(cat "$dir/keepalive.pid")" 2>/dev/null
    if [ -s "$dir/display" ] && [ -d "$dir/prefix" ]; then
        (wine_env_export "$dir" && wineserver -k 2>/dev/null)
    fi
    if [ -f "$dir/xorg.pid" ]; then
        local pid
        pid="$(cat "$dir/xorg.pid")"
        kill "$pid" 2>/dev/null
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
    fi
    rm -f "$dir/keepalive.pid" "$dir/xorg.pid" "$dir/display"
    return 0
}

case "$command" in
    start) start "$@" ;;
    run) enter && exec wine "$@" ;;
    stop) stop ;;
    *) echo "usage: two_monitors.sh start|run|stop DIR ..." >&2; exit 2 ;;
esac
