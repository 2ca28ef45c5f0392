#!/usr/bin/env bash
# The program on a 3840x2160 screen at 200 %, as a user sees it: on X11 with Xft.dpi 192 in the
# X resources (what GNOME, KDE and Xfce set), "Quit" and the speaker are drawn twice as large
# as at 100 % and a click on the speaker opens the volume panel; on weston at --scale=2 (nested
# in the X display) the moon's edge is sharp, not stretched, and "Quit" is as large. Skips the
# weston part (77) where weston cannot be had, after the X11 part passed.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib.sh"
binary=$1
start_private_display 3840x2160 || fail "no 3840x2160 X display"
export SDL_AUDIODRIVER=dummy

# The height of what is bright (a label, a picture) within a WxH+X+Y part of a screenshot.
bright_height() {
    convert "$1" -crop "$2" +repage -colorspace Gray -threshold 55% -trim -format '%h' info: \
        2>/dev/null || echo 0
}
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

# X11: the layout is 1920x1080 logical pixels, drawn at twice that.
echo "Xft.dpi: 192" | xrdb -merge
start_program "$binary"
wait_for_sky || fail "X11: the screen stayed black: $(cat "$e2e_tmp/stderr")"
xdotool mousemove 1000 2
sleep 0.7
screenshot "$e2e_tmp/x11.ppm"
# "Quit" lies at logical (24, 4), 35x20; the speaker at the screen's width less 200, (3), 25x21.
quit=$(bright_height "$e2e_tmp/x11.ppm" 70x40+48+8)
speaker=$(bright_height "$e2e_tmp/x11.ppm" 50x42+3440+6)
echo "X11 at Xft.dpi 192: Quit $quit px tall, speaker $speaker px tall"
at_least "$quit" 18 || fail "X11: Quit is $quit px tall"
at_least "$speaker" 24 || fail "X11: the speaker is $speaker px tall"
xdotool mousemove 3464 26
sleep 0.3
xdotool click 1
sleep 0.8
screenshot "$e2e_tmp/panel.ppm"
# The panel's slider is filled in its own blue up to the thumb.
convert "$e2e_tmp/panel.ppm" -crop 84x360+3418+2 +repage -format %c histogram:info: |
    grep -qi "#64A0F0" || fail "X11: the speaker opened no panel"
kill "$program_pid"
wait_exit "$program_pid" 3 || fail "X11: did not end on SIGTERM"

# Wayland: weston at scale 2 over the whole X screen.
# Its size is in logical pixels: its window on the X screen is twice that.
start_private_weston x11 1920x1080 --scale=2 || { echo "SKIP: no nested weston"; exit 77; }
write_wayland_wrapper "$binary"
: >"$e2e_tmp/stderr"
start_program "$e2e_tmp/on-wayland"
wait_for_sky || fail "Wayland: the screen stayed black: $(cat "$e2e_tmp/stderr")"
sleep 1
xdotool mousemove 1000 2
sleep 0.7
screenshot "$e2e_tmp/wayland.ppm"
quit=$(bright_height "$e2e_tmp/wayland.ppm" 70x40+48+8)
echo "weston --scale=2: Quit $quit px tall"
at_least "$quit" 18 || fail "Wayland: Quit is $quit px tall"
# Across the moon's left edge, on the row through its middle: drawn at the device's pixels it
# goes from the halo to the moon within 2 pixels; a picture stretched from half the pixels
# blurs it over more. Counted are the pixels between a quarter and three quarters of the way
# across the largest step of the row.
moon_x=$(((1920 - 486 + 71 - 24) * 2)) moon_y=$((179 * 2))
transition=$(convert "$e2e_tmp/wayland.ppm" -crop "80x1+$((moon_x - 40))+$moon_y" +repage \
    -colorspace Gray -depth 8 txt:- |
    awk -F'[(,)]' 'NR > 1 { v[n++] = $3 + 0 }
        END {
            for (i = 4; i < n - 5; i++) {
                d = (v[i + 1] - v[i]) ^ 2
                if (d > best) { best = d; at = i }
            }
            lo = v[at - 3]; hi = v[at + 4]
            for (i = at - 3; i <= at + 4; i++) {
                f = (v[i] - lo) / (hi - lo)
                if (f > 0.25 && f < 0.75) count++
            }
            print count + 0
        }')
echo "moon edge: $transition pixels of transition"
at_least 2 "$transition" || fail "Wayland: the moon's edge spans $transition pixels"
[[ ! -s $e2e_tmp/stderr ]] || fail "Wayland: stderr says: $(cat "$e2e_tmp/stderr")"
echo "PASS"
