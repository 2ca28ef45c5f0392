#!/usr/bin/env bash
# How soon the real program's sound comes back after its sound server restarts, on PulseAudio
# and on PipeWire (private servers with a null sink and a private Xvfb, started here and stopped
# by PID): TRIALS times the server is killed while the beach plays and started again after a
# pause of 0.5 to 2 s, and the time from its return (its pulse server answers with the sink in
# place) to the program's line that sound is back is taken; negative where the program was
# quicker than the check. The beach reaches the sink one play-to-sink delay later (see
# bench/sound_server.sh), fading in over 150 ms. Then the CPU of waiting: bench/audio-retry's
# sounds over the real mixer for SECONDS after their server went away, and for SECONDS with no
# server from the start.
#   bench/sound_return.sh [BUILD_DIR] [TRIALS] [SECONDS]
set -euo pipefail
build=${1:-build} trials=${2:-10} seconds=${3:-30}
binary=$(realpath "$build/quorvane")
source "$(dirname "$0")/../scripts/private_servers.sh"
tmp=$private_tmp
start_private_display 1920x1080 240

now_ms() { echo $(($(date +%s%N) / 1000000)); }
sorted() {
    printf '%s\n' "$@" | sort -n |
        awk '{ v[NR] = $1; printf "%s ", $1 } END { printf "; %s\n", v[int((NR + 1) / 2)] }'
}
for server in pulseaudio pipewire; do
    start_private_sound_server_of "$server" "$tmp/$server" bench
    export PULSE_SERVER=$sound_server
    # Each line the program says, with the time it was said.
    "$binary" 2> >(while read -r line; do echo "$(now_ms) $line"; done >"$tmp/stderr") &
    program=$!
    private_pids+=("$program")
    sleep 3
    xdotool mousemove $((1920 - 415)) 179 click 1 # the moon
    sleep 2
    opened=()
    for _ in $(seq "$trials"); do
        stop_private_sound_server
        sleep "$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", 0.5 + 1.5 * r / 32767 }')"
        start_private_sound_server_of "$server" "$tmp/$server" bench
        back=$(now_ms)
        sleep 3
        said=$(awk '/sound is back/ { t = $1 } END { print t }' "$tmp/stderr")
        opened+=("$((said - back))")
        sleep 1
    done
    echo "$server, ms after the server's return (sorted; median):"
    echo "  sound back: $(sorted "${opened[@]}")"
    echo "  what the program said: $(cut -d' ' -f2- "$tmp/stderr" | sort | uniq -c | tr -s ' ' | tr '\n' ';')"
    kill "$program"
    wait "$program" 2>/dev/null || true
    stop_private_sound_server
done

echo
start_private_sound_server_of pulseaudio "$tmp/pulseaudio" bench
export PULSE_SERVER=$sound_server
"$build/bench/audio-retry" "$seconds" >"$tmp/retry" 2>/dev/null &
retry=$!
sleep 1
stop_private_sound_server
wait "$retry"
echo "after the server went away: $(cat "$tmp/retry")"
PULSE_SERVER=unix:$tmp/nowhere "$build/bench/audio-retry" "$seconds" 2>/dev/null |
    sed 's/^/with no server from the start: /'
