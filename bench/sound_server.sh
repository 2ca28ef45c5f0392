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
source "$(dirname "$0")/../scripts/private_servers.sh"
tmp=$private_tmp
start_private_sound_server "$tmp/pulse" bench
server_pid=$sound_server_pid
export PULSE_SERVER=$sound_server
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
