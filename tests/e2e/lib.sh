# Shared by the end-to-end tests: a display to run on, screenshots, waiting.
# The test command provides DISPLAY (and a sound server); run alone, a test starts a private
# Xvfb of its own and stops it when it ends.

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/private_servers.sh"
e2e_tmp=$private_tmp

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

ensure_display() {
    if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
        return
    fi
    start_private_display "${E2E_SCREEN:-1920x1080}" || fail "no X display"
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

# A screenshot of the whole screen, named .ppm: written uncompressed it takes a tenth of a second,
# where compressing a starry sky as PNG takes seconds. Eight bits a channel, as the screen has.
screenshot() {
    import -window root -depth 8 "$1"
}

# The X screen's width and height in pixels.
screen_size() {
    xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }'
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

# A copy of the program in $e2e_tmp/program beside a media folder of its own, whose pictures
# and sounds are links to the build's; a test replaces a sound by removing its link first.
# Sets program to the copy's folder.
copy_program() {
    local media
    media=$(dirname "$1")/media
    program=$e2e_tmp/program
    mkdir -p "$program/media/sounds"
    cp "$1" "$program/quorvane"
    ln -s "$(realpath "$media/pictures")" "$program/media/pictures"
    for sound in "$media"/sounds/*.wav; do
        ln -s "$(realpath "$sound")" "$program/media/sounds/$(basename "$sound")"
    done
}

# Starts the program in the background; its stderr goes to $e2e_tmp/stderr.
start_program() {
    "$@" 2>"$e2e_tmp/stderr" &
    program_pid=$!
    private_pids+=("$program_pid")
}

# Writes $e2e_tmp/on-wayland, which runs BINARY with only Wayland to show on (no DISPLAY), its
# stderr added to $e2e_tmp/stderr.
write_wayland_wrapper() {
    cat >"$e2e_tmp/on-wayland" <<WRAP
#!/bin/sh
exec env -u DISPLAY "$1" "\$@" 2>>"$e2e_tmp/stderr"
WRAP
    chmod +x "$e2e_tmp/on-wayland"
}

# Waits until the screen shows more than black.
wait_for_sky() {
    for _ in $(seq 100); do
        screenshot "$e2e_tmp/wait.ppm"
        if awk -v b="$(brightness "$e2e_tmp/wait.ppm")" 'BEGIN { exit !(b > 0.01) }'; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Starts a private sound server in DIR with one null sink, quorvane_e2e, as the default output:
# PulseAudio, or PipeWire with its pulse server and session manager where E2E_SOUND_SERVER is
# pipewire. Sets sound_server (for PULSE_SERVER) and sound_server_pids. It stops when the test
# ends, or earlier with stop_sound_server; started again in the same DIR it answers at the same
# address.
start_sound_server() {
    start_private_sound_server_of "${E2E_SOUND_SERVER:-pulseaudio}" "$1" quorvane_e2e ||
        fail "no ${E2E_SOUND_SERVER:-pulseaudio} sound server"
}

stop_sound_server() {
    stop_private_sound_server
}

# A sound server with a null sink to play into: the test command's (PULSE_SERVER,
# QUORVANE_TEST_SINK, a PulseAudio), or, run alone or asked for PipeWire, a private one. Sets
# sink to its name and makes it the default output, at full volume.
ensure_sound_server() {
    if [[ ${E2E_SOUND_SERVER:-pulseaudio} == pipewire ]] ||
        ! [[ -n ${PULSE_SERVER:-} && -n ${QUORVANE_TEST_SINK:-} ]] || ! pactl info >/dev/null 2>&1; then
        start_sound_server "$e2e_tmp/pulse"
        export PULSE_SERVER=$sound_server QUORVANE_TEST_SINK=quorvane_e2e
    fi
    sink=$QUORVANE_TEST_SINK
    pactl set-default-sink "$sink"
    pactl set-sink-volume "$sink" 100%
}

# Records what the sink plays, from when the recording is under way (the monitor can take a
# second to start) until finish_recording FILE, which leaves raw stereo 16-bit samples at 44.1 kHz
# in FILE.
start_recording() {
    recording=$e2e_tmp/recording.raw
    # PipeWire runs its whole graph at the period the smallest latency asks for; at 20 ms a busy
    # machine drops recorded frames there, which reads as a click in what was played.
    local latency=20
    [[ ${E2E_SOUND_SERVER:-pulseaudio} == pipewire ]] && latency=100
    parec --latency-msec=$latency -d "$QUORVANE_TEST_SINK.monitor" --raw --format=s16le \
        --rate=44100 --channels=2 >"$recording" 2>/dev/null &
    recording_pid=$!
    private_pids+=("$recording_pid")
    for _ in $(seq 100); do
        [[ -s $recording ]] && break
        sleep 0.05
    done
    recording_start=$(stat -c %s "$recording")
}

finish_recording() {
    kill "$recording_pid" 2>/dev/null || true
    wait "$recording_pid" 2>/dev/null || true
    tail -c +$((recording_start + 1)) "$recording" >"$1"
}

# Records what the sink plays during the next SECONDS into FILE.
record_sink() {
    start_recording
    sleep "$1"
    finish_recording "$2"
}

# Loudness (RMS, 0..1) of raw stereo 16-bit samples.
loudness() {
    [[ -s $1 ]] || { echo 0; return; }
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$1" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'
}

# Loudness of what the sink plays during the next SECONDS.
sink_loudness() {
    record_sink "$1" "$e2e_tmp/loudness.raw"
    loudness "$e2e_tmp/loudness.raw"
}
