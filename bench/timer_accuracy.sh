#!/usr/bin/env bash
# Timer1's beat on the real loop with the whole scene running, on a private Xvfb: intervals
# between dome ticks (median, 1st and 99th percentiles), lateness after each deadline, drift.
#   bench/timer_accuracy.sh [BUILD_DIR] [SECONDS] [WxH]     (defaults: build 180 1920x1080)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build} seconds=${2:-180} size=${3:-1920x1080}
xvfb_pid=""
cleanup() {
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT

n=230
while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

echo "screen=$size seconds=$seconds load_before=$(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/timer-accuracy" "$seconds"
echo "load_after=$(cut -d' ' -f1-3 /proc/loadavg)"
