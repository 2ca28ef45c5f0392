# Private X and sound servers for the scripts that run the real program (the tests, the
# benchmarks, the README's screenshot). Each is started here and stopped by its PID when the
# sourcing script ends, together with anything else added to private_pids.

private_pids=()
private_tmp=$(mktemp -d /tmp/quorvane.XXXXXX)

stop_private_servers() {
    # Newest first: the programs before the servers they use.
    local i
    for ((i = ${#private_pids[@]} - 1; i >= 0; i--)); do
        kill "${private_pids[i]}" 2>/dev/null || true
        wait "${private_pids[i]}" 2>/dev/null || true
    done
    rm -rf "$private_tmp"
}
trap stop_private_servers EXIT

# Starts Xvfb with a screen of SIZE (WxH) on the first free display from FIRST (150 unless
# given) and exports DISPLAY.
start_private_display() {
    local size=$1 n=${2:-150}
    while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do
        n=$((n + 1))
    done
    # -noreset: a server that resets when its last client leaves refuses the next one for a moment.
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    private_pids+=($!)
    export DISPLAY=":$n"
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on :$n" >&2
    return 1
}

# Starts PulseAudio in DIR with one null sink named SINK, listening on DIR/socket; sets
# sound_server (the value for PULSE_SERVER) and sound_server_pid.
start_private_sound_server() {
    local dir=$1 sink=$2
    mkdir -p "$dir"
    XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$dir/runtime HOME=$dir \
        pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=true \
        --load="module-null-sink sink_name=$sink" \
        --load="module-native-protocol-unix socket=$dir/socket auth-anonymous=1" \
        >>"$dir/log" 2>&1 &
    sound_server_pid=$!
    private_pids+=("$sound_server_pid")
    sound_server=unix:$dir/socket
    for _ in $(seq 100); do
        PULSE_SERVER=$sound_server pactl info >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "the sound server did not start: $(cat "$dir/log")" >&2
    return 1
}

# Starts a session bus listening on DIR/bus; sets session_bus (the value for
# DBUS_SESSION_BUS_ADDRESS) and session_bus_pid.
start_private_session_bus() {
    local dir=$1
    mkdir -p "$dir"
    dbus-daemon --session --address="unix:path=$dir/bus" --nofork --nopidfile >>"$dir/log" 2>&1 &
    session_bus_pid=$!
    private_pids+=("$session_bus_pid")
    session_bus=unix:path=$dir/bus
    for _ in $(seq 100); do
        [[ -S $dir/bus ]] && return 0
        sleep 0.05
    done
    echo "the session bus did not start: $(cat "$dir/log")" >&2
    return 1
}

# Starts PipeWire with its pulse server and its session manager in DIR (their runtime folder),
# on a private session bus, with one null sink named SINK as the default output; sets
# sound_server (the value for PULSE_SERVER) and sound_server_pids (the three servers; the bus
# stays until the end, so that the servers can be stopped and started again).
start_private_pipewire() {
    local dir=$1 sink=$2
    mkdir -p "$dir"
    chmod 700 "$dir"
    [[ -S $dir/bus ]] || start_private_session_bus "$dir" || return 1
    local run=(env XDG_RUNTIME_DIR="$dir" HOME="$dir" DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/bus")
    sound_server_pids=()
    "${run[@]}" pipewire >>"$dir/log" 2>&1 &
    sound_server_pids+=($!)
    for _ in $(seq 100); do
        [[ -S $dir/pipewire-0 ]] && break
        sleep 0.05
    done
    "${run[@]}" wireplumber >>"$dir/log" 2>&1 &
    sound_server_pids+=($!)
    "${run[@]}" pipewire-pulse >>"$dir/log" 2>&1 &
    sound_server_pids+=($!)
    private_pids+=("${sound_server_pids[@]}")
    sound_server=unix:$dir/pulse/native
    for _ in $(seq 100); do
        PULSE_SERVER=$sound_server pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    # The default output is the session manager's to keep: until it is up, it cannot be set.
    if PULSE_SERVER=$sound_server pactl load-module module-null-sink sink_name="$sink" >/dev/null; then
        for _ in $(seq 100); do
            PULSE_SERVER=$sound_server pactl set-default-sink "$sink" 2>/dev/null && return 0
            sleep 0.1
        done
    fi
    echo "PipeWire did not start: $(cat "$dir/log")" >&2
    return 1
}

# Starts a private sound server of KIND in DIR with the null sink SINK as the default output:
# pulseaudio, or pipewire (with its pulse server and session manager). Sets sound_server and
# sound_server_pids; started again in the same DIR after stop_private_sound_server, it answers at
# the same address.
start_private_sound_server_of() {
    local kind=$1 dir=$2 sink=$3
    if [[ $kind == pipewire ]]; then
        start_private_pipewire "$dir" "$sink"
    else
        start_private_sound_server "$dir" "$sink" && sound_server_pids=("$sound_server_pid")
    fi
}

# Stops the sound server started last, by its PIDs; one that has gone already is no matter.
stop_private_sound_server() {
    local pid
    for pid in "${sound_server_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${sound_server_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
}

# Starts weston with BACKEND (x11: nested in the X display DISPLAY names, full screen, with its
# seat; headless: no output to see and no seat) at SIZE (WxH), drawing with pixman and showing
# one full-screen client (kiosk shell); any further arguments go to weston (--scale=2). Exports
# XDG_RUNTIME_DIR, a private one, and WAYLAND_DISPLAY; sets weston_pid. Returns 1, saying why, when weston is missing or will not
# start.
start_private_weston() {
    local backend=$1 size=$2
    shift 2
    command -v weston >/dev/null || { echo "weston is not installed" >&2; return 1; }
    export XDG_RUNTIME_DIR=$private_tmp/xdg-$backend
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    local socket=weston-$backend-$$
    weston --backend="$backend-backend.so" --width="${size%x*}" --height="${size#*x}" \
        --use-pixman --shell=kiosk-shell.so --no-config --idle-time=0 --socket="$socket" "$@" \
        --log="$XDG_RUNTIME_DIR/weston.log" >/dev/null 2>&1 &
    weston_pid=$!
    private_pids+=("$weston_pid")
    local window
    for _ in $(seq 100); do
        if [[ -S $XDG_RUNTIME_DIR/$socket ]]; then
            export WAYLAND_DISPLAY=$socket
            [[ $backend == x11 ]] || return 0
            # Keys reach the nested seat only through the X input focus, which a program that
            # ran on the X display before may have left elsewhere.
            window=$(xwininfo -root -children | awk '/"Weston Compositor/ { print $1; exit }')
            [[ -n $window ]] && xdotool windowfocus "$window" && return 0
        fi
        kill -0 "$weston_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "weston did not start: $(tail -5 "$XDG_RUNTIME_DIR/weston.log" 2>/dev/null)" >&2
    return 1
}
