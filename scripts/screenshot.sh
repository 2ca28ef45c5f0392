#!/usr/bin/env bash
# Takes the README's screenshot: the program on a private 1920x1080 X server, the pointer in the
# top strip so that Quit, About and the speaker show, scaled to 1280x720.
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build} out=${2:-docs/screenshot.jpg}
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT
n=190
while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$n"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$build/quorvane" &
pids+=($!)
sleep 2
xdotool mousemove 60 12
sleep 0.5
mkdir -p "$(dirname "$out")"
import -window root -resize 1280x720 -quality 90 "$out"
echo "wrote $out"
