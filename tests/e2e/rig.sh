# Test rig for Tolvane under Wine: a private PulseAudio with a null sink, a private Xvfb
# display, and a Wine prefix of our own. Sourced by tests/e2e/run-e2e, scripts/run and
# scripts/bench. Every process started here is remembered by PID and stopped by rig_stop,
# which rig_start installs as the EXIT trap, so a failed check or Ctrl-C leaves nothing behind.
# Every start also writes the prefix's settings (rig_settings): the font that stands in for
# "Segoe UI" and its CJK link, and on our own display a caption and frame drawn by Wine.
#
# On Windows (an MSYS2 shell) there is nothing to start: the programs run directly on the
# desktop and its sound devices. There the recorder is the driver's (driver.exe record, the
# default recording device through waveIn), once rig_probe has heard the default input pick up
# what the default output plays (a loopback such as VB-Audio's Virtual Cable).
#
# Two kinds of recorder: parec on the null sink's monitor, and the driver's waveIn recorder,
# which under Wine hears the sink because the rig makes its monitor PulseAudio's default source.
#
# Inputs (optional): RIG_PREFIX (Wine prefix, default build/wineprefix), RIG_USE_DISPLAY=1
# (use the caller's $DISPLAY instead of starting Xvfb), RIG_USE_PULSE=1 (use the caller's
# PulseAudio if one answers), RIG_NO_RECORDER=1 (play as usual but record nothing),
# RIG_RECORDER=wavein (under Wine, record through the driver instead of parec), RIG_DRIVER
# (driver.exe, default build/windows/driver.exe), RIG_DRIVER_LOG (a file that gets every
# rig_driver call and its output). After rig_start: DISPLAY, WINEPREFIX, XDG_RUNTIME_DIR,
# RIG_SINK (the null sink's name, empty when the user's sound server is used), RIG_OWN_DISPLAY
# (1 when the display is our own Xvfb), RIG_RECORDER (parec or wavein when rig_record can
# record what plays, else empty, with the reason in RIG_NO_RECORDER_WHY).

RIG_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
RIG_WINE=${RIG_WINE:-/usr/lib/wine/wine64}
RIG_WINESERVER=${RIG_WINESERVER:-/usr/lib/wine/wineserver}
RIG_PIDS=()         # every background process we started, stopped in reverse order
RIG_TMP=""
RIG_SINK=""
RIG_STOPPED=0
RIG_OWN_DISPLAY=0   # 1 when the display is our Xvfb, which has no window manager
RIG_RECORDER_KIND=${RIG_RECORDER:-parec} # the kind asked for; RIG_RECORDER is the one in use
RIG_RECORDER=""
RIG_NO_RECORDER_WHY=""
RIG_DRIVER=${RIG_DRIVER:-$RIG_ROOT/build/windows/driver.exe}
RIG_DRIVER_LOG=${RIG_DRIVER_LOG:-}
declare -gA RIG_RECORDINGS # background driver recordings: PID -> file
RIG_NATIVE=0        # 1 on Windows itself: no Wine, no virtual display or sound card
[[ $(uname -s) == MINGW* || $(uname -s) == MSYS* ]] && RIG_NATIVE=1

rig_log() { echo "rig: $*" >&2; }

# Starts a command in the background and remembers its PID in RIG_LAST_PID.
rig_spawn() {
    "$@" &
    RIG_LAST_PID=$!
    RIG_PIDS+=("$RIG_LAST_PID")
}

# Polls a command until it succeeds; gives up after $1 tenths of a second.
rig_poll() {
    local tenths=$1
    shift
    local i
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

rig_start_pulse() {
    if [[ ${RIG_USE_PULSE:-0} == 1 ]] && pactl info >/dev/null 2>&1; then
        rig_log "using the running PulseAudio"
        return 0
    fi
    # A private runtime dir gives a private socket, so we never talk to the user's server.
    export XDG_RUNTIME_DIR="$RIG_TMP/xdg"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    if [[ ${RIG_USE_PULSE:-0} == 1 ]]; then
        # A user without a sound server gets one with its default setup: the real sound card.
        rig_log "starting PulseAudio for the sound card"
        rig_spawn pulseaudio --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
            >"$RIG_TMP/pulse.log" 2>&1
        rig_poll 100 pactl info || {
            rig_log "PulseAudio did not come up"
            cat "$RIG_TMP/pulse.log" >&2
            return 1
        }
        return 0
    fi
    export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
    RIG_SINK=tolvane
    # No daemonizing: the PID we get is the server itself. -n skips the default script, so the
    # null sink is the only sink and becomes the default; anonymous auth avoids cookie files.
    rig_spawn pulseaudio --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --disable-shm=yes -n \
        --load="module-null-sink sink_name=$RIG_SINK" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$XDG_RUNTIME_DIR/pulse/native" \
        >"$RIG_TMP/pulse.log" 2>&1
    mkdir -p "$XDG_RUNTIME_DIR/pulse"
    if ! rig_poll 100 pactl info; then
        rig_log "PulseAudio did not come up"
        cat "$RIG_TMP/pulse.log" >&2
        return 1
    fi
    # An idle null sink renders in blocks of up to two seconds, so a short recording of its
    # monitor may come back empty. A silent stream asking for low latency keeps it ticking.
    rig_spawn pacat --playback -d "$RIG_SINK" --latency-msec=20 --raw /dev/zero 2>/dev/null
    sleep 1
}

rig_start_x() {
    if [[ ${RIG_USE_DISPLAY:-0} == 1 && -n ${DISPLAY:-} ]]; then
        rig_log "using display $DISPLAY"
        return 0
    fi
    # -displayfd lets Xvfb pick a free display number and tell us which one it took.
    local fifo="$RIG_TMP/displayfd"
    rig_spawn Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" \
        >"$RIG_TMP/xvfb.log" 2>&1
    local i
    for ((i = 0; i < 100; i++)); do
        [[ -s $fifo ]] && break
        sleep 0.1
    done
    if [[ ! -s $fifo ]]; then
        rig_log "Xvfb did not come up"
        cat "$RIG_TMP/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$(head -n1 "$fifo" | tr -d '[:space:]')"
    RIG_OWN_DISPLAY=1
}

rig_start_wine() {
    export WINEPREFIX=${RIG_PREFIX:-$RIG_ROOT/build/wineprefix}
    export WINEDEBUG=-all
    export WINEARCH=win64
    # No Mono/Gecko prompts while the prefix is created: the player needs neither. No ALSA
    # driver either: sound goes to PulseAudio, and ALSA would only complain about MIDI.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d"
    # One rig per prefix at a time: a second one's "wineserver -k" would end the first one's
    # player. The lock goes when this shell and every Wine process that inherited it is gone.
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec {RIG_LOCK_FD}>"$WINEPREFIX.lock"
    if ! flock -n "$RIG_LOCK_FD"; then
        rig_log "waiting for another run on $WINEPREFIX"
        flock -w 900 "$RIG_LOCK_FD" || return 1
    fi
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        rig_log "creating Wine prefix $WINEPREFIX (once)"
        mkdir -p "$WINEPREFIX"
        "$RIG_WINE" wineboot -i >"$RIG_TMP/wineboot.log" 2>&1 || {
            cat "$RIG_TMP/wineboot.log" >&2
            return 1
        }
        # wineboot started a server of its own; ours can only start once that one is gone.
        "$RIG_WINESERVER" -w
    fi
    # Wine as Debian builds it looks for its own fonts (fonts-wine) in a folder it never
    # reaches, so the caption buttons lack their Marlett glyphs. The prefix's Fonts folder,
    # where Windows keeps them too, it does read.
    cp -sn /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    # Running the server ourselves in the foreground gives us its PID; -p keeps it up between
    # the short-lived driver calls instead of restarting it for each.
    rig_spawn "$RIG_WINESERVER" -f -p
    RIG_WINESERVER_PID=$RIG_LAST_PID
    # Clients that came before the socket would start a server of their own.
    rig_poll 50 test -S "/proc/$RIG_WINESERVER_PID/cwd/socket" || return 1
    # Wine's helper services start with the first program and inherit its output. Starting
    # them here, detached from every pipe, keeps a later "driver | tr" from waiting on them.
    # That first program writes the prefix's settings, at every start: headless runs and runs
    # on the user's desktop share the prefix, and each must find what it needs, whatever the
    # run before it left behind.
    rig_settings >"$RIG_TMP/settings.reg"
    "$RIG_WINE" reg import "Z:$RIG_TMP/settings.reg" </dev/null >/dev/null 2>&1 || {
        rig_log "could not write the settings of $WINEPREFIX"
        return 1
    }
}

# The prefix's settings as a registry file.
rig_settings() {
    # Without a window manager Wine draws the caption and frame itself, once it is told to
    # manage its windows alone; on the user's desktop the window manager draws them.
    local frame='"Decorated"=-
"Managed"=-'
    ((RIG_OWN_DISPLAY)) && frame='"Decorated"="N"
"Managed"="N"'
    # Windows links its UI font to CJK fonts for the characters it lacks; PT Sans gets such a
    # link to Noto Sans CJK (fonts-noto-cjk), or CJK file names show as boxes. A list of
    # strings goes into the file as its bytes in hex.
    local link
    link=$(printf '%s\0\0' 'NotoSansCJK-Regular.ttc,Noto Sans CJK JP' | od -An -tx1 -v | xargs |
        tr ' ' ,)
    # Wine has no "Segoe UI", the player's font, and falls back to the much wider DejaVu Sans,
    # which cuts the labels short. PT Sans (fonts-paratype) has nearly the same widths.
    cat <<REG
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Segoe UI"="PT Sans"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"PT Sans"=hex(7):$link

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
$frame

; Wine 10 plays MP3 through quartz's MPEG-I Stream Splitter into winegstreamer's decoder, which
; crashes or hangs in about one stop in five. Without the splitter Wine builds the graph
; through its GStreamer source instead.
[-HKEY_CLASSES_ROOT\CLSID\{336475D0-942A-11CE-A870-00AA002FEAB5}\InprocServer32]

; The end-to-end suite maps "mpegvideo" to the waveaudio driver for one scenario; a run
; stopped half way must not leave every later player on it.
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\MCI]
"MPEGVideo"=-
REG
}

rig_start() {
    RIG_TMP=$(mktemp -d /tmp/tolvane-rig.XXXXXX)
    # Wine maps file names through the locale: UTF-8 keeps non-ASCII names intact.
    export LC_ALL=C.UTF-8
    trap rig_stop EXIT
    trap 'exit 130' INT TERM HUP
    if [[ ${RIG_NO_RECORDER:-0} == 1 ]]; then
        RIG_NO_RECORDER_WHY="RIG_NO_RECORDER=1"
    elif ((RIG_NATIVE)); then
        RIG_NO_RECORDER_WHY="the default input was not probed"
    elif [[ $RIG_RECORDER_KIND != parec && $RIG_RECORDER_KIND != wavein ]]; then
        rig_log "RIG_RECORDER is parec or wavein, not '$RIG_RECORDER_KIND'"
        return 1
    fi
    ((RIG_NATIVE)) && return 0
    rig_start_pulse && rig_start_x && rig_start_wine || return 1
    [[ -n $RIG_NO_RECORDER_WHY ]] && return 0
    if [[ -z $RIG_SINK ]]; then
        RIG_NO_RECORDER_WHY="the user's sound server has no sink of the rig's"
    elif [[ $RIG_RECORDER_KIND == wavein ]]; then
        # Wine's waveIn records from PulseAudio's default source.
        pactl set-default-source "$RIG_SINK.monitor" || return 1
        RIG_RECORDER=wavein
    else
        RIG_RECORDER=parec
    fi
    return 0
}

# A path as the driver takes it and the player sees it, with backslashes: MSYS2's own paths
# mean nothing to a Windows program; Wine maps the Unix root to its drive Z:.
rig_winpath() {
    local path=$1
    [[ $path == /* ]] || path=$PWD/$path
    if ((RIG_NATIVE)); then
        cygpath -w "$path"
    else
        path="Z:$path"
        echo "${path//\//\\}"
    fi
}

# Runs the driver; prints its output (stderr too), returns its exit code. The output goes
# through a file, not a pipe: a Wine helper that it happens to start would hold a pipe open and
# keep the reader waiting.
rig_driver() {
    local out=$RIG_TMP/driver.out code
    rig_wine "$RIG_DRIVER" "$@" >"$out" 2>&1 </dev/null
    code=$?
    if [[ -n $RIG_DRIVER_LOG ]]; then
        {
            printf 'driver.exe'
            printf ' %q' "$@"
            echo "  (exit $code)"
            tr -d '\r' <"$out"
        } >>"$RIG_DRIVER_LOG"
    fi
    tr -d '\r' <"$out"
    return $code
}

# Opens and plays FILE through MCI for a second while the default input records, and prints
# the driver's line about it; fails when MCI cannot play FILE. On Windows it chooses the
# recorder: the driver's, when the default input heard more than RMS $2 meanwhile.
rig_probe() {
    local out line code rms
    out=$(rig_driver probe "$(rig_winpath "$1")")
    code=$?
    # Only the driver's own lines: GStreamer under Wine may have complained on the same stream.
    line=$(grep -E '^(probe|driver):' <<<"$out")
    echo "${line:-$out}"
    ((RIG_NATIVE)) && [[ $RIG_NO_RECORDER_WHY != RIG_NO_RECORDER=1 ]] || return $code
    rms=$(sed -n 's/.*; recorded RMS \([0-9.]*\) .*/\1/p' <<<"$line")
    if ((code != 0)); then
        RIG_NO_RECORDER_WHY="the probe could not play"
    elif [[ -z $rms ]]; then
        RIG_NO_RECORDER_WHY=$(sed -n 's/.*; \(no recording device: .*\)/\1/p' <<<"$line")
        [[ -n $RIG_NO_RECORDER_WHY ]] || RIG_NO_RECORDER_WHY="the probe recorded nothing"
    elif awk -v r="$rms" -v t="$2" 'BEGIN { exit !(r > t) }'; then
        RIG_RECORDER=wavein
        RIG_NO_RECORDER_WHY=""
    else
        RIG_NO_RECORDER_WHY="the default input heard RMS $rms while the probe played"
    fi
    return $code
}

# Runs a Windows program under the rig's Wine in the foreground; on Windows, directly, its
# arguments as Wine would pass them (MSYS2 would take some for paths and rewrite them).
rig_wine() {
    if ((RIG_NATIVE)); then
        MSYS2_ARG_CONV_EXCL='*' "$@"
    else
        "$RIG_WINE" "$@"
    fi
}

# PIDs of the processes that run in our Wine prefix.
rig_prefix_pids() {
    local proc
    for proc in /proc/[0-9]*; do
        { tr '\0' '\n' <"$proc/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            echo "${proc#/proc/}"
    done
}

rig_stop() {
    # Runs as the EXIT trap, also of scripts under set -e: a process that is already gone
    # must not end the clean-up half way.
    set +e
    [[ $RIG_STOPPED == 1 ]] && return 0
    RIG_STOPPED=1
    # A background recording on Windows ends at its stop file; under Wine the server ends it.
    local file
    for file in "${RIG_RECORDINGS[@]}"; do
        : >"$file.stop"
    done
    if [[ -n ${WINEPREFIX:-} ]]; then
        # Kills every Wine process of this prefix (the player too) and the server itself.
        "$RIG_WINESERVER" -k 2>/dev/null
    fi
    local i pid
    for ((i = ${#RIG_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${RIG_PIDS[i]}
        kill "$pid" 2>/dev/null
    done
    for pid in "${RIG_PIDS[@]}"; do
        wait "$pid" 2>/dev/null
    done
    RIG_PIDS=()
    # Wine's helpers (winedevice, services) go a moment after their server; wait for them,
    # and end any that stay. They are ours: they carry our prefix in their environment.
    if [[ -n ${WINEPREFIX:-} ]]; then
        local left
        for ((i = 0; i < 50; i++)); do
            left=$(rig_prefix_pids)
            [[ -z $left ]] && break
            sleep 0.1
        done
        [[ -n $left ]] && kill -9 $left 2>/dev/null
    fi
    [[ -n ${RIG_LOCK_FD:-} ]] && exec {RIG_LOCK_FD}>&-
    [[ -n $RIG_TMP ]] && rm -rf "$RIG_TMP"
    return 0
}

# Records what plays for $1 seconds into $2 (WAV). Waits until done. The driver's recording
# begins once its device has started, 0.1 to 0.2 s after the call under Wine, and lasts $1 s
# from there; parec's lasts until $1 s after the call.
rig_record() {
    local seconds=$1 out=$2
    if [[ $RIG_RECORDER == wavein ]]; then
        rig_driver record "$seconds" "$(rig_winpath "$out")" >"$RIG_TMP/record.out" ||
            rig_log "$(cat "$RIG_TMP/record.out")"
        return 0
    fi
    rig_spawn parec -d "$RIG_SINK.monitor" --latency-msec=20 --file-format=wav "$out"
    local pid=$RIG_LAST_PID
    sleep "$seconds"
    kill -INT "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rig_forget "$pid"
}

# Starts recording what plays into $1 in the background; rig_record_stop PID ends it.
rig_record_start() {
    if [[ $RIG_RECORDER == wavein ]]; then
        # An hour, the longest the driver records, or until the file's .stop companion appears.
        rm -f "$1.stop"
        if ((RIG_NATIVE)); then
            rig_spawn env MSYS2_ARG_CONV_EXCL='*' "$RIG_DRIVER" record 3600 "$(rig_winpath "$1")"
        else
            rig_spawn "$RIG_WINE" "$RIG_DRIVER" record 3600 "$(rig_winpath "$1")"
        fi >"$1.out" 2>&1 </dev/null
        RIG_RECORDINGS[$RIG_LAST_PID]=$1
        return 0
    fi
    rig_spawn parec -d "$RIG_SINK.monitor" --latency-msec=20 --file-format=wav "$1"
}

rig_record_stop() {
    local file=${RIG_RECORDINGS[$1]:-}
    if [[ -n $file ]]; then
        # The driver looks for the stop file every 50 ms and then writes out its WAV.
        : >"$file.stop"
        rig_poll 50 eval "! kill -0 $1" || kill "$1" 2>/dev/null
        wait "$1" 2>/dev/null
        [[ -n $RIG_DRIVER_LOG ]] && tr -d '\r' <"$file.out" >>"$RIG_DRIVER_LOG"
        rm -f "$file.stop" "$file.out"
        unset "RIG_RECORDINGS[$1]"
    else
        kill -INT "$1" 2>/dev/null || true
        wait "$1" 2>/dev/null || true
    fi
    rig_forget "$1"
}

rig_forget() {
    local keep=() p
    for p in "${RIG_PIDS[@]}"; do
        [[ $p == "$1" ]] || keep+=("$p")
    done
    RIG_PIDS=("${keep[@]}")
}

# RMS amplitude of a WAV file (0 for silence, about 0.35 for a full-scale sine); "none"
# when the recording holds no samples, which no comparison accepts.
rig_rms() {
    sox "$1" -n stat 2>&1 | awk '/Samples read/ && $3 == 0 {print "none"; exit}
        /RMS +amplitude/ {print $3; exit}'
}
