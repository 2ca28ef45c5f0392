#!/usr/bin/env bash
# Start-up figures of the real program on a private Xvfb: time from exec to the first presented
# frame (median of several runs), resident memory after start-up, and the CPU it uses over a
# stretch of running untouched.
#   bench/startup.sh [BUILD_DIR] [RUNS] [SECONDS]
# SIZE sets the screen (default 1920x1080), FIRST_DISPLAY the first X display number tried (180).
set -euo pipefail
build=${1:-build} runs=${2:-9} seconds=${3:-30} size=${SIZE:-1920x1080}
first_display=${FIRST_DISPLAY:-180}
binary=$build/quorvane
source "$(dirname "$0")/../scripts/private_servers.sh"
start_private_display "$size" "$first_display"

ticks=$(getconf CLK_TCK)
times=()
for i in $(seq "$runs"); do
    out=$("$build/bench/first-frame" "$binary" 2>/dev/null)
    ms=$(sed -n 's/^first_frame_ms=//p' <<<"$out")
    pid=$(sed -n 's/^pid=//p' <<<"$out")
    times+=("$ms")
    if [[ $i -eq $runs ]]; then
        sleep 1
        rss_start=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
        cpu0=$(awk '{print $14 + $15}' "/proc/$pid/stat")
        sleep "$seconds"
        cpu1=$(awk '{print $14 + $15}' "/proc/$pid/stat")
        rss_end=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    # The closing window's own repaint must not count as the next run's first frame.
    sleep 0.5
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "screen=$size runs=$runs"
echo "first_frame_ms_all=${times[*]}"
echo "first_frame_ms_median=$median"
echo "rss_after_start_kb=$rss_start rss_after_${seconds}s_kb=$rss_end"
awk -v c=$((cpu1 - cpu0)) -v t="$ticks" -v s="$seconds" \
    'BEGIN { printf "cpu_percent_of_one_core_over_%ss=%.2f\n", s, 100 * c / t / s }'
