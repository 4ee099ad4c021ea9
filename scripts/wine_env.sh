# Sourced by the test and run scripts: a Wine prefix of the project's own inside the build folder,
# an Xvfb display of its own, and one primed wineserver kept alive for the whole run, so that a
# developer's ~/.wine and desktop are never touched and each Windows program starts in ~0.1 s.
#   wine_env_start STATE_DIR KEEPALIVE_EXE   exports WINEPREFIX, DISPLAY, ...
#   wine_env_stop

wine_env_stamp="huepeek-prefix 3 win10 managed=N fonts txt"

wine_env_export() {
    export WINEPREFIX="$1/prefix"
    export WINEARCH=win64
    export WINEDEBUG=-all
    # No Mono/Gecko installers, and no menu entries on the user's Linux desktop.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

wine_env_start_xvfb() {
    local dir="$1"
    rm -f "$dir/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$dir/display" >/dev/null 2>&1 &
    wine_env_xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$dir/display" ] && break
        sleep 0.05
    done
    [ -s "$dir/display" ] || { echo "wine_env: Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(cat "$dir/display")"
}

wine_env_make_prefix() {
    local stamp="$WINEPREFIX/.huepeek"
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wine_env_stamp $(wine --version)" ]; then
        return 0
    fi
    echo "wine_env: creating the Wine prefix $WINEPREFIX (once, ~20 s)"
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i </dev/null >/dev/null 2>&1
    # Without a window manager Wine otherwise waits 2 s whenever a captioned window is hidden.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    wine winecfg -v win10 </dev/null >/dev/null 2>&1
    # Windows opens ".txt" files with Notepad; Wine's prefix has the class "txtfile" but does not
    # map the extension to it, so the shell would find no program for a text file.
    wine reg add 'HKLM\Software\Classes\.txt' /ve /d txtfile /f </dev/null >/dev/null 2>&1
    # Dialog sizes depend on the font; the package alone does not put them into a prefix.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    wineserver -w
    echo "$wine_env_stamp $(wine --version)" >"$stamp"
}

wine_env_start() {
    local dir keepalive="${2:-}"
    mkdir -p "$1"
    dir="$(cd "$1" && pwd)"
    wine_env_export "$dir"
    wine_env_start_xvfb "$dir" || return 1
    wine_env_make_prefix
    wineserver -p
    # Every run starts at 100 %: a test at another scale (tests/support/at_dpi.cpp) that was ended
    # from outside may have left its LogPixels behind.
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f </dev/null >/dev/null 2>&1
    # Wine's background processes must not inherit our output pipes, or ctest waits for them.
    wine wineboot </dev/null >/dev/null 2>&1
    wine_env_keepalive_pid=""
    if [ -n "$keepalive" ] && [ -f "$keepalive" ]; then
        rm -f "$dir/keepalive.ready"
        wine "$keepalive" "Z:$dir/keepalive.ready" </dev/null >/dev/null 2>&1 &
        wine_env_keepalive_pid=$!
        # Tests must not be the first to use the clipboard and desktop helpers (see keepalive).
        for _ in $(seq 200); do
            [ -f "$dir/keepalive.ready" ] && break
            sleep 0.05
        done
    fi
}

wine_env_stop() {
    [ -n "${wine_env_keepalive_pid:-}" ] && kill "$wine_env_keepalive_pid" 2>/dev/null
    wineserver -k 2>/dev/null
    [ -n "${wine_env_xvfb_pid:-}" ] && kill "$wine_env_xvfb_pid" 2>/dev/null
    # Only for what it started: the caller may keep other work running in the background.
    local pid
    for pid in ${wine_env_keepalive_pid:-} ${wine_env_xvfb_pid:-}; do wait "$pid" 2>/dev/null; done
    wine_env_keepalive_pid=""
    wine_env_xvfb_pid=""
}
