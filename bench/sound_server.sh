#!/usr/bin/env bash
# Sound figures against private sound servers with a null sink, started here and stopped by PID:
# PulseAudio, and PipeWire with its pulse server and session manager.
#  - for each server, each mixer rate (44.1 kHz, the sounds' own, and 0: the output's own, which
#    the program uses) and each buffer size: the delay from Play to the first sample on the sink
#    (median and worst of 25, recorded from the sink's monitor), and the CPU of the playing
#    process and of the sound server (all its processes) over SECONDS with the program's four
#    sounds looping, in % of one core;
#  - on PulseAudio, the time one SetDefaultOutputVolume call takes (median and worst of 1,000),
#    made back to back and paced like a slider drag, and how many levels reached the server.
#   bench/sound_server.sh [BUILD_DIR] [SECONDS] [FRAMES...]
# SERVERS (default "pulseaudio pulseaudio-48k pipewire"; the second with its sink at 48 kHz) and
# RATES (default "44100 0") choose the rows.
set -euo pipefail
build=${1:-build} seconds=${2:-60}
shift $(($# < 2 ? $# : 2))
sizes=("$@")
((${#sizes[@]})) || sizes=(1024 2048 3072 4096 8192)
source "$(dirname "$0")/../scripts/private_servers.sh"
tmp=$private_tmp

cpu_ticks() {
    local pid total=0
    for pid in "$@"; do
        total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat")))
    done
    echo "$total"
}

for server in ${SERVERS:-pulseaudio pulseaudio-48k pipewire}; do
    # pulseaudio-48k: PulseAudio with its sink at 48 kHz, as PipeWire's and many cards' are.
    if [[ $server == pulseaudio-48k ]]; then
        start_private_sound_server "$tmp/$server" bench44 && sound_server_pids=("$sound_server_pid")
        pactl --server="$sound_server" load-module module-null-sink sink_name=bench rate=48000 \
            sink_properties=device.description=bench48 >/dev/null
        pactl --server="$sound_server" set-default-sink bench
    else
        start_private_sound_server_of "$server" "$tmp/$server" bench
    fi
    export PULSE_SERVER=$sound_server
    pids=$(
        IFS=,
        echo "${sound_server_pids[*]}"
    )
    idle0=$(cpu_ticks "${sound_server_pids[@]}")
    sleep 5
    idle1=$(cpu_ticks "${sound_server_pids[@]}")
    echo "$server ($(pactl info | awk -F': ' '/Server Name/ { print $2 }'), output at" \
        "$(pactl list short sinks | awk '$2 == "bench" { print $NF, $(NF-1), $(NF-2) }' | head -1))"
    echo "idle: $(awk -v t="$((idle1 - idle0))" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", 100 * t / hz / 5 }') % of a core"
    echo "buffer    rate    (ms)  delay med  delay max  heard    prog CPU%  server CPU%   (${seconds} s, four sounds looping)"
    for rate in ${RATES:-44100 0}; do
        for frames in "${sizes[@]}"; do
            "$build/bench/audio-buffer" "$frames" "$rate" "$seconds" "$pids" bench.monitor \
                "$build/media"
        done
    done
    if [[ $server == pulseaudio ]]; then
        "$build/bench/output-volume"
        echo "the sink reads: $(pactl get-sink-volume bench | head -1)"
    fi
    stop_private_sound_server
    echo
done
