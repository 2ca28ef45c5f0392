#!/usr/bin/env bash
# Takes the README's screenshot: the program on a private 1920x1080 X server, the pointer in the
# top strip so that Quit, About and the speaker show, scaled to 1280x720.
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build} out=${2:-docs/screenshot.jpg}
source scripts/private_servers.sh
start_private_display 1920x1080 190
"$build/quorvane" &
private_pids+=($!)
sleep 2
xdotool mousemove 60 12
sleep 0.5
mkdir -p "$(dirname "$out")"
import -window root -resize 1280x720 -quality 90 "$out"
echo "wrote $out"
