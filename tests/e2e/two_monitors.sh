#!/usr/bin/env bash
# Two monitors: the scene covers the primary one only and follows it when another is made
# primary or the primary one goes dark, bare and under openbox. Runs on Xorg's dummy driver.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1

n=175
while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do
    n=$((n + 1))
done
Xorg ":$n" -config "$(cd "$(dirname "$0")" && pwd)/two_monitors.conf" -logfile "$e2e_tmp/xorg.log" \
    -noreset -nolisten tcp >/dev/null 2>&1 &
private_pids+=($!)
export DISPLAY=":$n"
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
if ! xdpyinfo >/dev/null 2>&1; then
    echo "SKIP: Xorg with the dummy driver did not start"
    exit 77
fi
xrandr --newmode q1280x720 74.50 1280 1344 1472 1664 720 723 728 748 -hsync +vsync
xrandr --addmode DUMMY1 q1280x720

geometry() { xwininfo -name Quorvane | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { print w "x" $2 "+" x "+" y }'; }
expect_geometry() {
    local want=$1 what=$2 now
    for _ in $(seq 40); do
        now=$(geometry)
        [[ $now == "$want" ]] && return 0
        sleep 0.05
    done
    fail "$what ($wm): the scene is at $now, not $want"
}

for wm in none openbox; do
    xrandr --output DUMMY0 --mode 1920x1080 --pos 0x0 --primary \
        --output DUMMY1 --mode q1280x720 --pos 1920x0
    if [[ $wm == openbox ]]; then
        openbox >/dev/null 2>&1 &
        private_pids+=($!)
        sleep 0.5
    fi
    start_program "$binary"
    wait_for_sky || fail "no sky ($wm): $(cat "$e2e_tmp/stderr")"
    expect_geometry 1920x1080+0+0 "at start"
    xrandr --output DUMMY1 --primary
    expect_geometry 1280x720+1920+0 "the second monitor made primary"
    screenshot "$e2e_tmp/second-$wm.ppm"
    left=$(brightness "$e2e_tmp/second-$wm.ppm" "1920x1080+0+0")
    right=$(brightness "$e2e_tmp/second-$wm.ppm" "1280x720+1920+0")
    awk -v l="$left" -v r="$right" 'BEGIN { exit !(r > 0.05 && l < 0.01) }' ||
        fail "the sky is not on the primary monitor alone ($left, $right)"
    xrandr --output DUMMY1 --off
    expect_geometry 1920x1080+0+0 "the primary monitor gone dark"
    xdotool key ctrl+q
    status=0
    wait_exit "$program_pid" 2 || status=$?
    [[ $status -eq 0 ]] || fail "Ctrl+Q ($wm): status $status"
    echo "$wm: followed the primary monitor; sky $right there, $left beside it"
done
echo "ok"
