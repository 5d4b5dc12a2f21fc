#!/usr/bin/env bash
# Runs a Windows program under Wine, headless and bounded in time, passing its exit status
# through (124 when it ran out of time, 137 when it then had to be killed). Usable as
# CMAKE_CROSSCOMPILING_EMULATOR.
# Usage: tools/windows/wine.sh PROGRAM [ARGS...]
#   KORVEX_WINEPREFIX    the Wine prefix, made on first use (default build-windows/wineprefix
#                        in the repository)
#   KORVEX_WINE_TIMEOUT  seconds the program may run (default 300)
#   KORVEX_WINESERVER_LINGER  seconds Wine's server (and with it the Windows session) stays up
#                        after the last program of the prefix ends (default 10, at least 1);
#                        it never outlives that.
set -euo pipefail

if [ $# -lt 1 ]; then
    sed -n '5,11p' "$0" >&2
    exit 2
fi

repository=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEPREFIX=${KORVEX_WINEPREFIX:-$repository/build-windows/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No desktop menu entries; no offer to install Mono or Gecko, which would wait for an answer.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
timeout_seconds=${KORVEX_WINE_TIMEOUT:-300}
linger=${KORVEX_WINESERVER_LINGER:-10}

# The null driver needs no X server; with a display the default driver shows real windows.
if [ -n "${DISPLAY:-}" ]; then graphics=default; else graphics=null; fi

# Everything the set-up runs goes to a log, never to the caller's stdout. Settings go in with one
# registry import: each separate Wine call would boot a Windows session of its own.
setup() {
    local log=$WINEPREFIX.log settings=$WINEPREFIX.settings.reg
    if ! [ -e "$WINEPREFIX/.korvex-ready" ]; then
        # Also finishes a prefix whose making was interrupted. Its session, which then serves
        # the first program too, holds this log rather than the caller's stderr.
        timeout 300 wine wineboot --init >"$log" 2>&1 || {
            echo "wine.sh: cannot make the Wine prefix $WINEPREFIX (see $log):" >&2
            tail -n 3 "$log" >&2
            return 1
        }
    fi
    {
        echo 'Windows Registry Editor Version 5.00'
        # An unhandled exception ends the program at once (its status is the exception code's
        # low byte, 5 for an access violation): no debugger, which would wait for someone or
        # print its report onto the program's stdout.
        echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]'
        echo '"Auto"="1"'
        echo '"Debugger"=""'
        echo '[HKEY_CURRENT_USER\Software\Wine\Drivers]'
        if [ "$graphics" = null ]; then echo '"Graphics"="null"'; else echo '"Graphics"=-'; fi
    } >"$settings"
    timeout 60 wine reg import "$settings" >>"$log" 2>&1
    rm -f "$settings"
    echo "$graphics" >"$WINEPREFIX/.korvex-graphics"
    touch "$WINEPREFIX/.korvex-ready"
}

needs_setup() {
    ! [ -e "$WINEPREFIX/.korvex-ready" ] ||
        [ "$(cat "$WINEPREFIX/.korvex-graphics" 2>/dev/null)" != "$graphics" ]
}

mkdir -p "$WINEPREFIX"
# Tests run in parallel: one of them sets up, the others wait for it.
(
    flock 9
    # The first program of a new Wine server boots a Windows session (services, device drivers:
    # about 2 s) whose processes inherit that program's stderr and keep it open as long as the
    # session lasts, so a caller reading it (CTest) would wait for them. The session is
    # therefore booted here, with no stdio of ours, on a server kept for a while after its last
    # program ends so that the next test reuses the session. The lock's descriptor is closed
    # for them: a server holding it would hold the lock.
    new_server=
    if wineserver -p"$linger" </dev/null >/dev/null 2>&1 9>&-; then new_server=1; fi
    if needs_setup; then
        setup </dev/null 9>&-
        # The session the set-up booted read the graphics driver before it was set (with the
        # null driver missing, no window could be made in it). When no program of ours uses
        # it yet, a fresh one is booted.
        if [ -n "$new_server" ]; then
            wineserver -k </dev/null >/dev/null 2>&1 9>&- || true
            wineserver -w </dev/null >/dev/null 2>&1 9>&- || true
            wineserver -p"$linger" </dev/null >/dev/null 2>&1 9>&- || true
            timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
        fi
    elif [ -n "$new_server" ]; then
        timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"$WINEPREFIX.lock"

# timeout forwards INT, TERM and HUP to the program. It runs the program in a process group of
# its own, so that a time-out ends all of it, except at a terminal, where Ctrl-C must reach it.
foreground=()
if [ -t 0 ]; then foreground=(--foreground); fi
exec timeout "${foreground[@]}" --kill-after=10 "$timeout_seconds" wine "$@"
