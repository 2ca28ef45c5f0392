#!/usr/bin/env bash
# The beach's sound under load. The real program on a private Xvfb, its sound going to a private
# PulseAudio null sink, both started here and stopped by PID:
#  - the delay from a click on the moon to the first sound on the sink (TRIES clicks), and from a
#    click on the volume slider to its beep (TRIES clicks), with the latency the sound server
#    reports for the stream and the scheduling of SDL's audio thread;
#  - with the beach playing and no load of ours, the CPU of the program and of the sound
#    server over a minute, in % of one core, and the program's resident memory;
#  - then SECONDS of the beach with both cores kept busy by stress-ng at the same priority, and
#    the runs of digital silence of 2 ms or more on the sink's monitor (the surf loops without a
#    pause, so every one is a gap in the sound).
#   bench/beach_under_load.sh [BINARY] [SECONDS] [TRIES]   (default: build/quorvane, 600, 10)
# Nothing here asserts; it prints figures. Other work on the machine adds its own load.
set -euo pipefail
here=$(dirname "$0")
binary=$(realpath "${1:-build/quorvane}") seconds=${2:-600} tries=${3:-10}
watch=$(realpath "${SINK_WATCH:-build/bench/sink-watch}")
command -v stress-ng >/dev/null || { echo "stress-ng is missing (scripts/setup.sh test)" >&2; exit 1; }
source "$here/../scripts/private_servers.sh"
tmp=$private_tmp
start_private_display 1920x1080 180
start_private_sound_server "$tmp/pulse" load
export PULSE_SERVER=$sound_server
W=1920 moon_x=$((1920 - 486 + 71)) moon_y=179

"$binary" 2>"$tmp/stderr" &
pid=$!
private_pids+=("$pid")
sleep 3
xdotool mousemove "$moon_x" "$moon_y"

# Prints the median and the worst of the delays given, in ms.
delays() {
    local sorted
    sorted=$(printf '%s\n' "$@" | sort -n)
    echo "median $(sed -n "$((($# + 1) / 2))p" <<<"$sorted") ms, worst $(tail -1 <<<"$sorted") ms ($# clicks: $*)"
}
ms=()
for _ in $(seq "$tries"); do
    ms+=("$("$watch" onset load.monitor xdotool click 1)")
    sleep 0.5
    xdotool click 1 # the beach stops again
done
echo "click on the moon to sound on the sink: $(delays "${ms[@]}")"
# The volume panel, and clicks up and down its slider: each sets a new level and beeps.
xdotool mousemove 600 12 sleep 0.3 mousemove $((W - 188)) 12 click 1 sleep 0.5
ms=()
for i in $(seq "$tries"); do
    ms+=("$("$watch" onset load.monitor xdotool mousemove $((W - 211 + 23)) $((35 + 10 * (i % 2))) click 1)")
done
xdotool mousemove 700 600
echo "click on the slider to its beep on the sink: $(delays "${ms[@]}")"
pactl list sink-inputs | awk '/Buffer Latency|Sink Latency/ { $1 = $1; print "  the server says: " $0 }'
ps -L -o ni=,cls=,rtprio=,comm= -p "$pid" | awk '/SDLAudio/ { print "  SDL audio thread: nice " $1 ", class " $2 ", rtprio " $3 }'
xdotool mousemove "$moon_x" "$moon_y"

xdotool click 1 # the beach plays from here to the end
sleep 5
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
p0=$(ticks "$pid") s0=$(ticks "$sound_server_pid")
sleep 60
p1=$(ticks "$pid") s1=$(ticks "$sound_server_pid")
hz=$(getconf CLK_TCK)
echo "without stress-ng, 60 s of the beach: program $(awk -v t=$((p1 - p0)) -v hz="$hz" 'BEGIN { printf "%.2f", 100 * t / hz / 60 }') %," \
    "sound server $(awk -v t=$((s1 - s0)) -v hz="$hz" 'BEGIN { printf "%.2f", 100 * t / hz / 60 }') % of a core;" \
    "program resident $(awk '/VmRSS/ { print $2 }' "/proc/$pid/status") kB"

stress-ng --cpu 2 --timeout $((seconds + 15))s --quiet &
private_pids+=($!)
sleep 2
echo "both cores busy, $seconds s: $("$watch" gaps load.monitor "$seconds")"
kill -0 "$pid" || { echo "the program ended: $(cat "$tmp/stderr")" >&2; exit 1; }
[[ ! -s $tmp/stderr ]] || echo "the program said: $(cat "$tmp/stderr")"
