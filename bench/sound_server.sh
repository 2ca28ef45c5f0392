#!/usr/bin/env bash
# Sound figures against a private PulseAudio daemon with a null sink, which this script starts
# and stops by PID:
#  - for each mixer buffer size: the delay from Play to the first sample on the sink (median and
#    worst of 25, recorded from the sink's monitor), and the CPU of the playing process and of
#    the sound server over SECONDS with the program's four sounds looping, in % of one core;
#  - the time one SetDefaultOutputVolume call takes (median and worst of 1,000), made back to
#    back and paced like a slider drag, and how many levels reached the server.
#   bench/sound_server.sh [BUILD_DIR] [SECONDS] [FRAMES...]
set -euo pipefail
build=${1:-build} seconds=${2:-60}
shift $(($# < 2 ? $# : 2))
sizes=("$@")
((${#sizes[@]})) || sizes=(1024 2048 3072 4096 8192)
tmp=$(mktemp -d /tmp/quorvane-bench.XXXXXX)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

XDG_RUNTIME_DIR=$tmp PULSE_RUNTIME_PATH=$tmp/runtime HOME=$tmp \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=true \
    --load="module-null-sink sink_name=bench" \
    --load="module-native-protocol-unix socket=$tmp/socket auth-anonymous=1" \
    >"$tmp/pulse.log" 2>&1 &
server_pid=$!
pids+=("$server_pid")
export PULSE_SERVER=unix:$tmp/socket
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null || { echo "the sound server did not start: $(cat "$tmp/pulse.log")" >&2; exit 1; }
idle0=$(awk '{print $14 + $15}' "/proc/$server_pid/stat")
sleep 5
idle1=$(awk '{print $14 + $15}' "/proc/$server_pid/stat")
echo "sound server idle: $(awk -v t="$((idle1 - idle0))" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", 100 * t / hz / 5 }') % of a core"
echo
echo "buffer    (ms)  delay med  delay max  heard    prog CPU%  server CPU%   (${seconds} s, four sounds looping)"
for frames in "${sizes[@]}"; do
    "$build/bench/audio-buffer" "$frames" "$seconds" "$server_pid" bench.monitor "$build/media"
done
echo
"$build/bench/output-volume"
echo "the sink reads: $(pactl get-sink-volume bench | head -1)"
