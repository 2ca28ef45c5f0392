#!/usr/bin/env bash
# The real program on a real X server: the top strip's "About" shows the credits box centred on
# the screen, light text on black in five lines, the makers' name blue under the pointer and
# opening the credits page the build wrote, and the box puts itself away about five seconds later. The box is saved enlarged in $ABOUT_SHOTS
# (default /tmp/about-shots) for a person to look at.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1
shots=${ABOUT_SHOTS:-/tmp/about-shots}
ensure_display

read -r width height < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
box_w=141 box_h=122
left=$(((width - box_w) / 2)) top=$(((height - box_h) / 2))
box="${box_w}x${box_h}+${left}+${top}"
# The box with 40 pixels of the scene around it.
around="$((box_w + 80))x$((box_h + 80))+$((left - 40))+$((top - 40))"

grab() {
    import -window root -crop "$1" +repage "$2"
}
# How many pixels of a picture (or of a WxH+X+Y part of it) are pure blue text.
blue_pixels() {
    convert "$1" -crop "$2" +repage -channel RGB -fx '(b > 0.5 && r < 0.25 && g < 0.25) ? 1 : 0' \
        -format '%[fx:round(mean * w * h)]' info:
}
# Share of a picture's pixels that are black (the sky is never that dark).
black_share() {
    convert "$1" -colorspace Gray -negate -threshold 97% -format '%[fx:mean]' info:
}
seconds_since() {
    awk -v t="$1" -v now="$(date +%s.%N)" 'BEGIN { printf "%.1f", now - t }'
}

# The browser is a stand-in that notes the address it was asked to open.
mkdir -p "$e2e_tmp/bin"
cat >"$e2e_tmp/bin/xdg-open" <<EOF
#!/bin/sh
echo "\$1" >>"$e2e_tmp/opened"
EOF
chmod +x "$e2e_tmp/bin/xdg-open"

PATH="$e2e_tmp/bin:$PATH" start_program "$binary"
wait_for_sky || fail "the screen stayed black: $(cat "$e2e_tmp/stderr")"

# Into the top strip first, so that its labels show, then "About".
xdotool mousemove 300 12
sleep 0.3
xdotool mousemove 98 14
sleep 0.2
xdotool click 1
clicked=$(date +%s.%N)
sleep 0.5
grab "$around" "$e2e_tmp/shown.png"
# The box is up for five seconds only: the pointer onto the makers' name and a click on it now,
# looked at later.
xdotool mousemove $((left + 70)) $((top + 31))
sleep 0.3
grab "$box" "$e2e_tmp/hover.png"
xdotool click 1
xdotool mousemove 300 600

convert "$e2e_tmp/shown.png" -crop "${box_w}x${box_h}+40+40" +repage "$e2e_tmp/box.png"
mkdir -p "$shots"
convert "$e2e_tmp/box.png" -filter point -resize 400% "$shots/about-box.png"
convert "$e2e_tmp/shown.png" -filter point -resize 300% "$shots/about-box-in-scene.png"
convert "$e2e_tmp/hover.png" -filter point -resize 400% "$shots/about-box-link-hover.png"
echo "box saved in $shots/about-box.png"

black=$(black_share "$e2e_tmp/box.png")
light=$(convert "$e2e_tmp/box.png" -colorspace Gray -threshold 60% -format '%[fx:mean]' info:)
echo "box at $box: black $black, light text $light"
awk -v b="$black" 'BEGIN { exit !(b > 0.7) }' || fail "the box is not black ($black black)"
awk -v l="$light" 'BEGIN { exit !(l > 0.02 && l < 0.2) }' || fail "no readable text ($light light)"
# Five lines of text, top to bottom: the rows that hold light pixels come in five runs.
lines=$(convert "$e2e_tmp/box.png" -colorspace Gray -threshold 60% -scale "1x$box_h!" -threshold 0 \
    txt:- | awk 'NR > 1 { lit = ($0 ~ /#FFFFFF/); if (lit && !prev) n++; prev = lit } END { print n + 0 }')
echo "lines of text: $lines"
[[ $lines -eq 5 ]] || fail "expected five lines of text, found $lines"

name_blue=$(blue_pixels "$e2e_tmp/hover.png" 100x16+20+23)
others_blue=$(($(blue_pixels "$e2e_tmp/hover.png" 141x23+0+0) + $(blue_pixels "$e2e_tmp/hover.png" 141x83+0+39)))
echo "blue pixels: makers' name $name_blue, elsewhere $others_blue"
[[ $name_blue -gt 20 && $others_blue -eq 0 ]] || fail "the name under the pointer is not blue alone"

for _ in $(seq 40); do
    [[ -s $e2e_tmp/opened ]] && break
    sleep 0.05
done
opened=$(head -n 1 "$e2e_tmp/opened" 2>/dev/null || true)
echo "the makers' name opened $opened"
[[ $opened == file://*/credits.html#quorvane ]] || fail "the link opened \"$opened\""
page=${opened#file://}
page=${page%#*}
page=$(printf '%b' "${page//%/\\x}")
grep -q 'id="quorvane"' "$page" || fail "no section \"quorvane\" in $page"

# Gone about five seconds after it showed: the sky is back where the box was (the box's own
# black taken to the last pixel).
gone=""
while awk -v s="$(seconds_since "$clicked")" 'BEGIN { exit !(s < 9) }'; do
    grab "$box" "$e2e_tmp/after.png"
    if awk -v b="$(black_share "$e2e_tmp/after.png")" 'BEGIN { exit !(b == 0) }'; then
        gone=$(seconds_since "$clicked")
        break
    fi
    sleep 0.25
done
[[ -n $gone ]] || fail "the box was still there 9 s after it showed"
echo "gone after about $gone s"
# The clock is read just after the click: a box that keeps its five seconds cannot look early.
awk -v g="$gone" 'BEGIN { exit !(g >= 4.5) }' || fail "the box went after $gone s, before its five seconds"

xdotool key ctrl+q
status=0
wait_exit "$program_pid" 5 || status=$?
[[ $status -eq 0 ]] || fail "Ctrl+Q: status $status"
echo "ok"
