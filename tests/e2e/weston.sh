# A private weston for the scripts that run the program on Wayland (the end-to-end test, the
# cost benchmark). Source scripts/private_servers.sh first: weston stops with the other servers.

# Starts weston with BACKEND (x11: nested in the X display DISPLAY names, full screen, with its
# seat; headless: no output to see and no seat) at SIZE (WxH), drawing with pixman and showing
# one full-screen client (kiosk shell). Exports XDG_RUNTIME_DIR, a private one, and
# WAYLAND_DISPLAY; sets weston_pid. Returns 1, saying why, when weston is missing or will not
# start.
start_private_weston() {
    local backend=$1 size=$2
    command -v weston >/dev/null || { echo "weston is not installed" >&2; return 1; }
    export XDG_RUNTIME_DIR=$private_tmp/xdg-$backend
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    local socket=weston-$backend-$$
    weston --backend="$backend-backend.so" --width="${size%x*}" --height="${size#*x}" \
        --use-pixman --shell=kiosk-shell.so --no-config --idle-time=0 --socket="$socket" \
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
