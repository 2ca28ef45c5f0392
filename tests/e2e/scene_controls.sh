#!/usr/bin/env bash
# The whole program driven with the real pointer on a real X server and sound server: the top
# strip reveals its labels, the moon starts and stops the beach on the sink, the speaker opens
# the volume panel where it belongs and its slider moves the sink's volume and the speaker
# picture, About shows the credits, and Quit ends the program with status 0 within a second.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1
ensure_display
ensure_sound_server
read -r W H < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')

# Mean brightness of a rectangle WxH+X+Y of a fresh screenshot.
region() {
    screenshot "$e2e_tmp/now.ppm"
    brightness "$e2e_tmp/now.ppm" "$1"
}
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
sink_volume() { pactl get-sink-volume "$sink" | grep -o '[0-9]*%' | head -1 | tr -d %; }

start_program "$binary"
wait_for_sky || fail "no sky: $(cat "$e2e_tmp/stderr")"

# The top strip: the labels appear under the pointer.
xdotool mousemove 600 300
sleep 0.3
quit_before=$(region 35x20+24+4)
xdotool mousemove 600 12
sleep 0.3
quit_after=$(region 35x20+24+4)
cp "$e2e_tmp/now.ppm" "$e2e_tmp/strip.ppm"
above "$quit_after" "$(awk -v q="$quit_before" 'BEGIN { print q + 0.05 }')" ||
    fail "the Quit label did not appear ($quit_before -> $quit_after)"

# The moon: a click starts the beach, a second one silences it.
moon_x=$((W - 486 + 71)) moon_y=179
xdotool mousemove "$moon_x" "$moon_y" click 1
sleep 1
playing=$(sink_loudness 2)
above "$playing" 0.003 || fail "no sound after a click on the moon (RMS $playing)"
xdotool mousemove "$moon_x" "$moon_y" click 1
sleep 0.5
quiet=$(sink_loudness 1.5)
above 0.0005 "$quiet" || fail "still sounding after the second click (RMS $quiet)"
echo "moon: RMS $playing while playing, $quiet after the second click"

# The speaker opens the volume panel at W - 211 (887 up to 1152), top 1.
panel_x=$((W > 1152 ? W - 211 : 887))
speaker_x=$((W > 1152 ? W - 200 : 898))
xdotool mousemove 600 12
sleep 0.2
xdotool mousemove $((speaker_x + 12)) 12 click 1
sleep 0.4
screenshot "$e2e_tmp/panel.ppm"
# The panel is black between its speaker and its slider, the sky around it is not.
inside=$(brightness "$e2e_tmp/panel.ppm" "8x8+$((panel_x + 2))+60")
track=$(brightness "$e2e_tmp/panel.ppm" "4x130+$((panel_x + 21))+35")
above 0.001 "$inside" || fail "no black panel at x $panel_x ($inside)"
above "$track" 0.05 || fail "no slider in the panel ($track)"
speaker_mid=$(brightness "$e2e_tmp/panel.ppm" "25x21+$((panel_x + 11))+3")

# Its slider: the top sets full volume, the bottom silence; the speaker picture follows.
slider_x=$((panel_x + 13 + 10))
xdotool mousemove "$slider_x" 100 mousedown 1 mousemove "$slider_x" 40 mousemove "$slider_x" 33 mouseup 1
sleep 0.5
top=$(sink_volume)
speaker_loud=$(region "25x21+$((panel_x + 11))+3")
xdotool mousemove "$slider_x" 100 mousedown 1 mousemove "$slider_x" 150 mousemove "$slider_x" 170 mouseup 1
sleep 0.5
bottom=$(sink_volume)
speaker_quiet=$(region "25x21+$((panel_x + 11))+3")
[[ $top -eq 100 ]] || fail "the top of the slider set the volume to $top %"
[[ $bottom -eq 0 ]] || fail "the bottom of the slider set the volume to $bottom %"
above "$speaker_loud" "$speaker_quiet" || fail "the speaker picture did not change ($speaker_loud, $speaker_quiet)"
echo "slider: top $top %, bottom $bottom %; speaker brightness $speaker_mid -> $speaker_loud -> $speaker_quiet"
pactl set-sink-volume "$sink" 100%

# Leaving the panel hides it.
xdotool mousemove $((panel_x - 300)) 500
sleep 0.3
left_panel=$(region "8x8+$((panel_x + 2))+60")
above "$left_panel" 0.01 || fail "the panel stayed after the pointer left it ($left_panel)"

# About shows the credits box in the middle of the screen.
xdotool mousemove 600 12
sleep 0.2
xdotool mousemove 90 12 click 1
sleep 0.5
box=$(region "141x122+$(((W - 141) / 2))+$(((H - 122) / 2))")
above "$box" 0.02 || fail "no credits box ($box)"
xdotool mousemove 600 500 click 1 # away from the box: the sky takes the click
sleep 0.2

# Quit ends the program with 0 within a second.
xdotool mousemove 600 12
sleep 0.2
xdotool mousemove 30 12 click 1
status=0
wait_exit "$program_pid" 1 || status=$?
[[ $status -eq 0 ]] || fail "Quit: status $status (255: still running after 1 s)"
echo "ok"
