#!/usr/bin/env bash
# Timer1's beat on the real loop with the whole scene running, on a private Xvfb: intervals
# between dome ticks (median, 1st and 99th percentiles), lateness after each deadline, drift.
#   bench/timer_accuracy.sh [BUILD_DIR] [SECONDS] [WxH]     (defaults: build 180 1920x1080)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build} seconds=${2:-180} size=${3:-1920x1080}
source scripts/private_servers.sh
start_private_display "$size" 230

echo "screen=$size seconds=$seconds load_before=$(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/timer-accuracy" "$seconds"
echo "load_after=$(cut -d' ' -f1-3 /proc/loadavg)"
