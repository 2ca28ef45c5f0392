# Shared by the end-to-end tests: a display to run on, screenshots, waiting.
# The test command provides DISPLAY (and a sound server); run alone, a test starts a private
# Xvfb of its own and stops it when it ends.

e2e_pids=()
e2e_tmp=$(mktemp -d /tmp/quorvane-e2e.XXXXXX)

e2e_cleanup() {
    for pid in "${e2e_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$e2e_tmp"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

ensure_display() {
    if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
        return
    fi
    local n=150
    while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${E2E_SCREEN:-1920x1080x24}" -nolisten tcp >/dev/null 2>&1 &
    e2e_pids+=($!)
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && return
        sleep 0.1
    done
    fail "no X display"
}

# Mean brightness (0..1) of a screenshot, or of a WxH+X+Y part of it.
brightness() {
    local shot=$1 crop=${2:-}
    if [[ -n $crop ]]; then
        convert "$shot" -crop "$crop" +repage -colorspace Gray -format '%[fx:mean]' info:
    else
        convert "$shot" -colorspace Gray -format '%[fx:mean]' info:
    fi
}

screenshot() {
    import -window root "$1"
}

# Waits until a process has exited, up to a number of seconds; prints its status.
wait_exit() {
    local pid=$1 seconds=$2
    local i
    for i in $(seq $((seconds * 20))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            return $?
        fi
        sleep 0.05
    done
    return 255
}

# Starts the program in the background; its stderr goes to $e2e_tmp/stderr.
start_program() {
    "$@" 2>"$e2e_tmp/stderr" &
    program_pid=$!
    e2e_pids+=("$program_pid")
}

# Waits until the screen shows more than black.
wait_for_sky() {
    for _ in $(seq 100); do
        screenshot "$e2e_tmp/wait.png"
        if awk -v b="$(brightness "$e2e_tmp/wait.png")" 'BEGIN { exit !(b > 0.01) }'; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}
