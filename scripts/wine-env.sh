# wine-env.sh: the Wine environment of the Windows tests, to be sourced:
#
#   . scripts/wine-env.sh [WIN_BUILD_DIR]   # default $MJ_WIN_BUILD_DIR or ./build-win
#   ctest --test-dir WIN_BUILD_DIR ...
#   mj_wine_stop                            # ends the wineserver and our Xvfb
#
# It exports WINEPREFIX (in the build folder), WINEARCH, WINEDEBUG and
# WINEDLLOVERRIDES, gives DirectSound an ALSA null device ($HOME/.asoundrc),
# starts an Xvfb of its own when there is no DISPLAY, creates the prefix once
# (with unmanaged X windows: a managed window without a window manager takes
# 2 s to close), and starts one persistent wineserver with wineboot, so that a
# CTest child is never the first Wine process: Wine's helper processes would
# inherit the child's output pipe and CTest would wait for ever.
# MJ_WINE_ENV_ONLY=1 only sets the variables. The e2e runner itself starts the
# client with LC_ALL=zh_CN.UTF-8 when that locale exists.

_mj_wine_log() { printf 'wine-env: %s\n' "$*" >&2; }

_mj_wine_dir="${1:-${MJ_WIN_BUILD_DIR:-$PWD/build-win}}"
mkdir -p "$_mj_wine_dir" || return 1
MJ_WIN_BUILD_DIR="$(cd "$_mj_wine_dir" && pwd)"
export MJ_WIN_BUILD_DIR
export WINEPREFIX="$MJ_WIN_BUILD_DIR/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Without a sound device DirectSound cannot even be created under Wine; the
# null PCM makes it creatable (and plays faster than real time: no timing).
if [ ! -e "$HOME/.asoundrc" ]; then
    printf 'pcm.!default {\n    type null\n}\n' > "$HOME/.asoundrc"
elif ! grep -q 'type null' "$HOME/.asoundrc"; then
    _mj_wine_log "note: $HOME/.asoundrc exists without a null device; left as it is"
fi

# The client runs as on Chinese Windows (code page 936) with LC_ALL=zh_CN.UTF-8.
# Wine takes the code page from the name alone, but decodes the command line
# with the locale's real character set: an ungenerated locale strips the high
# bits of a Chinese launch line. So the locale is generated once when missing.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    if [ "$(id -u)" = 0 ] && command -v localedef >/dev/null 2>&1; then
        localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 >/dev/null 2>&1 ||
            _mj_wine_log "note: could not generate zh_CN.UTF-8; Chinese launch lines will not reach the client intact"
    else
        _mj_wine_log "note: locale zh_CN.UTF-8 is missing (localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 as root)"
    fi
fi

# Starts Xvfb on a free display when none is set; its pid is kept for mj_wine_stop.
mj_wine_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    command -v Xvfb >/dev/null 2>&1 || { _mj_wine_log "Xvfb is missing (apt-get install xvfb)"; return 1; }
    _mj_fd_file="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$_mj_fd_file" >/dev/null 2>&1 </dev/null &
    MJ_XVFB_PID=$!
    export MJ_XVFB_PID
    _mj_i=0
    while [ ! -s "$_mj_fd_file" ] && [ $_mj_i -lt 100 ]; do
        sleep 0.1
        _mj_i=$((_mj_i + 1))
    done
    if [ ! -s "$_mj_fd_file" ]; then
        _mj_wine_log "Xvfb did not start"
        kill "$MJ_XVFB_PID" 2>/dev/null
        unset MJ_XVFB_PID
        rm -f "$_mj_fd_file"
        return 1
    fi
    DISPLAY=":$(head -n1 "$_mj_fd_file")"
    export DISPLAY
    rm -f "$_mj_fd_file"
    _mj_wine_log "started Xvfb on $DISPLAY (pid $MJ_XVFB_PID)"
}

# Creates the prefix once and starts the persistent session. The display must
# be set first: a session begun without one cannot open windows later.
mj_wine_start() {
    mj_wine_display || return 1
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        _mj_wine_log "creating $WINEPREFIX"
        wineboot --init >/dev/null 2>&1 </dev/null
        wineserver -w
    fi
    if [ ! -f "$WINEPREFIX/.mj-unmanaged" ]; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null &&
            touch "$WINEPREFIX/.mj-unmanaged"
        wineserver -w
    fi
    wineserver -p
    wine wineboot >/dev/null 2>&1 </dev/null
}

# Ends the persistent wineserver of this prefix and the Xvfb we started.
mj_wine_stop() {
    wineserver -k 2>/dev/null
    if [ -n "${MJ_XVFB_PID:-}" ]; then
        kill "$MJ_XVFB_PID" 2>/dev/null
        wait "$MJ_XVFB_PID" 2>/dev/null
        unset MJ_XVFB_PID DISPLAY
    fi
}

if [ "${MJ_WINE_ENV_ONLY:-0}" != 1 ]; then
    mj_wine_start
fi
