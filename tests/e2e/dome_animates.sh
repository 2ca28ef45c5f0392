#!/usr/bin/env bash
# The real program on a real X server: the dome animates in its rectangle at the top right
# while the sky beside it stays still, and the screen is sent through X11's plain framebuffer
# (no OpenGL is loaded), which presents only the changed rectangles.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1
ensure_display
read -r width height < <(xdpyinfo | awk '/dimensions:/ { split($2, s, "x"); print s[1], s[2] }')
((width >= 1470)) || fail "needs a screen at least 1470 pixels wide, not $width"

start_program "$binary"
wait_for_sky || fail "the screen stayed black: $(cat "$e2e_tmp/stderr")"
sleep 0.5

# Shots a little apart: the dome's frames come every 75 ms.
for i in 0 1 2 3 4 5; do
    screenshot "$e2e_tmp/shot$i.ppm"
    sleep 0.04
done
dome="1170x435+$((width - 1170))+25"
# Beside the dome and clear of the twinkling stars (all left of x 300 or below the dome).
still="$((width - 1170 - 300))x$((height - 460))+300+460"
changes=0
for i in 1 2 3 4 5; do
    d=$(compare -metric AE \( "$e2e_tmp/shot0.ppm" -crop "$dome" +repage \) \
        \( "$e2e_tmp/shot$i.ppm" -crop "$dome" +repage \) null: 2>&1 || true)
    s=$(compare -metric AE \( "$e2e_tmp/shot0.ppm" -crop "$still" +repage \) \
        \( "$e2e_tmp/shot$i.ppm" -crop "$still" +repage \) null: 2>&1 || true)
    echo "shot $i: dome pixels changed $d, beside it $s"
    [[ $s == 0 ]] || fail "the sky beside the dome changed ($s pixels)"
    [[ $d != 0 ]] && changes=$((changes + 1))
done
((changes >= 3)) || fail "the dome did not animate ($changes of 5 shots differ)"

# The OpenGL texture path would load Mesa; the plain framebuffer loads no GL at all.
if grep -qE 'libGLX|libEGL|swrast|gallium|llvmpipe' "/proc/$program_pid/maps"; then
    fail "OpenGL is loaded: the window surface is not the plain X11 framebuffer"
fi
xdotool key ctrl+q
wait_exit "$program_pid" 2 || fail "Ctrl+Q did not end the program"
echo "ok"
