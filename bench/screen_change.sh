#!/usr/bin/env bash
# Time from a resolution change to the program's first frame at the new size, on a private
# Xvfb with no window manager (and under openbox with WM=openbox): the median of several
# switches between 1920x1080 and 1280x720.
#   bench/screen_change.sh [BUILD_DIR] [SWITCHES]
set -euo pipefail
build=${1:-build} switches=${2:-9}
source "$(dirname "$0")/../scripts/private_servers.sh"
start_private_display 1920x1080 185
xrandr --newmode q1280x720 74.50 1280 1344 1472 1664 720 723 728 748 -hsync +vsync
xrandr --addmode screen q1280x720
if [[ ${WM:-} == openbox ]]; then
    openbox >/dev/null 2>&1 &
    private_pids+=($!)
    sleep 0.5
fi
"$build/quorvane" 2>/dev/null &
private_pids+=($!)
sleep 2

times=()
for i in $(seq "$switches"); do
    for mode in q1280x720:1280x720 1920x1080:1920x1080; do
        out=$("$build/bench/first-frame" --window Quorvane "${mode#*:}" \
            xrandr --output screen --mode "${mode%%:*}")
        times+=("$(sed -n 's/^first_frame_ms=//p' <<<"$out")")
        sleep 0.5
    done
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "window_manager=${WM:-none} changes=${#times[@]}"
echo "change_to_frame_ms_all=${times[*]}"
echo "change_to_frame_ms_median=$median"
