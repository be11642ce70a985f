# Sourced by the scripts: a project-local Wine prefix, Japanese code page,
# no proxies (Wine's WinInet obeys them) and an X display of our own.
PARVELO_ROOT=${PARVELO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${PARVELO_WINEPREFIX:-$PARVELO_ROOT/build/wineprefix}
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko install prompts when the prefix is made.
export WINEDLLOVERRIDES="mscoree=;mshtml="
export LC_ALL=ja_JP.UTF-8
unset http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY ftp_proxy all_proxy ALL_PROXY
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
PARVELO_XVFB_PID=

wine_start() {
    if [ -z "$DISPLAY" ]; then
        local n=${PARVELO_DISPLAY:-97}
        while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        PARVELO_XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$WINE64" wineboot -i >/dev/null 2>&1 </dev/null
        "$WINESERVER" -w
    fi
    # A persistent server and one warm-up program, so that the services Wine
    # starts do not inherit the test runner's output pipe.
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null
    # Without a window manager Wine waits for one each time it hides a
    # managed window; unmanaged windows come and go at once.
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
    # A crashing test program must end and fail, not wait in a debugger.
    "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
        >/dev/null 2>&1 </dev/null || true
}

wine_stop() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    if [ -n "$PARVELO_XVFB_PID" ]; then
        kill "$PARVELO_XVFB_PID" 2>/dev/null || true
        wait "$PARVELO_XVFB_PID" 2>/dev/null || true
        unset DISPLAY
    fi
}
