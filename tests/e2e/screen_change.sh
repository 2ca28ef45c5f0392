#!/usr/bin/env bash
# The resolution changes under the running program, on a bare X server and under openbox: the
# window takes each new size, the sky covers the whole screen, the moon and the speaker are at
# their new places, the volume panel opens whole on the screen, and Ctrl+Q still ends the
# program with status 0.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1
# A server of its own: the modes it gains would outlast the test on a shared one. It can switch
# to any mode up to the size it starts at.
start_private_display 1920x1080 170 || fail "no X display"
xrandr --newmode q1280x720 74.50 1280 1344 1472 1664 720 723 728 748 -hsync +vsync
xrandr --newmode q800x600 38.25 800 832 912 1024 600 603 607 624 -hsync +vsync
xrandr --addmode screen q1280x720
xrandr --addmode screen q800x600

above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
window_size() { xwininfo -name Quorvane | awk '/Width:/ { w = $2 } /Height:/ { print w "x" $2 }'; }

# Switches the screen to a mode and checks the scene at that size.
check_mode() {
    local mode=$1 W=$2 H=$3
    xrandr --output screen --mode "$mode"
    local size
    for _ in $(seq 40); do
        size=$(window_size)
        [[ $size == "${W}x${H}" ]] && break
        sleep 0.05
    done
    [[ $size == "${W}x${H}" ]] || fail "$mode ($wm): the window is $size"
    xdotool mousemove $((W / 2)) $((H / 2))
    sleep 0.3
    screenshot "$e2e_tmp/$mode-$wm.ppm"
    local corner moon sky
    corner=$(brightness "$e2e_tmp/$mode-$wm.ppm" "40x40+$((W - 40))+$((H - 40))")
    above "$corner" 0.02 || fail "$mode ($wm): black in the bottom right corner ($corner)"
    moon=$(brightness "$e2e_tmp/$mode-$wm.ppm" "30x30+$((W - 486 + 71 - 15))+$((179 - 15))")
    sky=$(brightness "$e2e_tmp/$mode-$wm.ppm" "30x30+$((W - 486 + 71 - 15))+$((179 + 120))")
    above "$moon" 0.5 || fail "$mode ($wm): no moon at its place ($moon)"

    # The speaker shows in the strip and opens its panel, both whole on the screen.
    local speaker_x=$((W > 1152 ? W - 200 : (W - 31 < 898 ? W - 31 : 898)))
    xdotool mousemove $((W / 2)) 12
    sleep 0.2
    xdotool mousemove $((speaker_x + 12)) 12 click 1
    sleep 0.4
    screenshot "$e2e_tmp/$mode-$wm-panel.ppm"
    local panel track
    panel=$(brightness "$e2e_tmp/$mode-$wm-panel.ppm" "8x8+$((speaker_x - 11 + 2))+60")
    track=$(brightness "$e2e_tmp/$mode-$wm-panel.ppm" "4x130+$((speaker_x - 11 + 21))+35")
    above 0.001 "$panel" || fail "$mode ($wm): no black panel under the speaker ($panel)"
    above "$track" 0.05 || fail "$mode ($wm): no slider in the panel ($track)"
    xdotool mousemove $((W / 2)) $((H / 2))
    sleep 0.2
    echo "$mode ($wm): moon $moon against sky $sky, corner $corner, panel at $((speaker_x - 11))"
}

for wm in none openbox; do
    if [[ $wm == openbox ]]; then
        openbox >/dev/null 2>&1 &
        private_pids+=($!)
        sleep 0.5
    fi
    # Started small, so that growing takes more of the backdrop than was decoded at start.
    xrandr --output screen --mode q1280x720
    start_program "$binary"
    wait_for_sky || fail "no sky ($wm): $(cat "$e2e_tmp/stderr")"
    check_mode q800x600 800 600
    check_mode 1920x1080 1920 1080
    check_mode q1280x720 1280 720
    xdotool key ctrl+q
    status=0
    wait_exit "$program_pid" 2 || status=$?
    [[ $status -eq 0 ]] || fail "Ctrl+Q ($wm): status $status (255: still running after 2 s)"
    if grep -v "sound is off" "$e2e_tmp/stderr"; then fail "($wm) said more than it should"; fi
done
echo "ok"
