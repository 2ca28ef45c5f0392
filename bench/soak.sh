#!/usr/bin/env bash
# Runs the real program for a while on a private Xvfb with its sound going to a private
# PulseAudio null sink, with the sound cues playing and the volume panel opened, used and closed
# now and then, and reports its resident memory at the start and the end, the CPU it used and
# the failures it reported. The start is taken after a warm-up in which every sound has played
# and both small windows have opened once, so that what loads once is not counted as growth.
#   bench/soak.sh [BUILD_DIR] [SECONDS]   (default: build, 600)
set -euo pipefail
build=${1:-build} seconds=${2:-600}
binary=$(realpath "$build/quorvane")
source "$(dirname "$0")/../scripts/private_servers.sh"
tmp=$private_tmp
start_private_display 1920x1080 170
start_private_sound_server "$tmp/pulse" soak
pulse_pid=$sound_server_pid
export PULSE_SERVER=$sound_server

"$binary" 2>"$tmp/stderr" &
pid=$!
private_pids+=("$pid")
sleep 3
W=1920
xdotool mousemove $((W - 415)) 179 click 1 # the moon: surf, footsteps, then the timed cues

open_panel_and_slide() {
    xdotool mousemove 600 12
    sleep 0.3
    xdotool mousemove $((W - 188)) 12 click 1
    sleep 0.5
    local x=$((W - 211 + 23))
    xdotool mousemove "$x" $((40 + RANDOM % 120)) mousedown 1
    for _ in 1 2 3 4 5; do
        xdotool mousemove "$x" $((35 + RANDOM % 135))
        sleep 0.05
    done
    xdotool mouseup 1
    sleep 0.5
    xdotool mousemove 700 600
}
open_about() {
    xdotool mousemove 600 12 && sleep 0.3 && xdotool mousemove 90 12 click 1
    sleep 1
    xdotool mousemove 700 600
}
RANDOM=7
open_panel_and_slide
open_about
sleep 92 # the second surf joins at 50 s, the first splash at 86 s

rss() { awk '/VmRSS/ { print $2 }' "/proc/$1/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
rss_start=$(rss "$pid")
cpu_start=$(cpu_ticks "$pid")
pulse_start=$(cpu_ticks "$pulse_pid")
start=$(date +%s)
rounds=0
while (($(date +%s) - start < seconds)); do
    sleep $((20 + RANDOM % 20))
    kill -0 "$pid" 2>/dev/null || { echo "the program ended during the soak" >&2; exit 1; }
    open_panel_and_slide
    rounds=$((rounds + 1))
    if ((rounds % 5 == 0)); then
        open_about
    fi
done
elapsed=$(($(date +%s) - start))
rss_end=$(rss "$pid")
cpu_end=$(cpu_ticks "$pid")
pulse_end=$(cpu_ticks "$pulse_pid")
ticks=$(getconf CLK_TCK)
failures=$(grep -c 'failed' "$tmp/stderr" || true)
echo "seconds=$elapsed panel_rounds=$rounds"
echo "rss_start_kb=$rss_start rss_end_kb=$rss_end rss_growth_kb=$((rss_end - rss_start))"
awk -v c=$((cpu_end - cpu_start)) -v p=$((pulse_end - pulse_start)) -v t="$ticks" -v s="$elapsed" \
    'BEGIN { printf "cpu_percent_of_one_core=%.2f sound_server_cpu_percent=%.2f\n", 100 * c / t / s, 100 * p / t / s }'
echo "failures_reported=$failures"
if [[ -s $tmp/stderr ]]; then
    echo "stderr:"
    sed 's/^/  /' "$tmp/stderr"
fi
