#!/usr/bin/env bash
# The real program on a Wayland compositor, weston nested in Xvfb so that xdotool drives its
# seat and screenshots of the X display show its output: the scene shows with the moon at its
# place; the controls behave as on X11 (the scene_controls test, run through weston: the strip
# under the pointer, the beach on the sink, the volume panel, About, Quit); the backend alone
# shows every part presented however fast they come, and reads the pointer's place, the left
# button only, and keys as the X11 backend does, media keys too (wayland_probe); a second start
# ends at once and leaves the first; Ctrl+Q and SIGTERM
# end it with status 0; a compositor without a seat runs it without input; the compositor
# going away ends it with one line; a Wayland session whose compositor does not answer falls
# back to X11; and nothing reaches stderr in a normal run. Skipped (77) when weston cannot be
# had or started.
set -euo pipefail
here=$(dirname "$0")
source "$here/lib.sh"
binary=$1 probe=$2
skip() {
    echo "SKIP: $*"
    exit 77
}
ensure_display
ensure_sound_server
read -r W H < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
x_display=$DISPLAY

above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
no_stderr() {
    [[ ! -s $e2e_tmp/stderr ]] || fail "$1: stderr says: $(cat "$e2e_tmp/stderr")"
}
# Ends the program with a signal; it must quit through its shutdown with status 0.
terminate() {
    local status=0
    kill -TERM "$program_pid"
    wait_exit "$program_pid" 2 || status=$?
    [[ $status -eq 0 ]] || fail "$1: SIGTERM: status $status (255: still running after 2 s)"
}

# A session that names a compositor nobody runs: the program shows on X11, silently.
WAYLAND_DISPLAY=quorvane-nowhere start_program "$binary"
wait_for_sky || fail "no fallback to X11: $(cat "$e2e_tmp/stderr")"
terminate "X11 fallback"
no_stderr "X11 fallback"
status=0
WAYLAND_DISPLAY=quorvane-nowhere DISPLAY= "$binary" 2>"$e2e_tmp/nodisplay" || status=$?
[[ $status -eq 1 ]] || fail "without any display: status $status"
grep -q "^quorvane: cannot open the display: wayland: .*; x11: " "$e2e_tmp/nodisplay" ||
    fail "no clear message: $(cat "$e2e_tmp/nodisplay")"
[[ $(wc -l <"$e2e_tmp/nodisplay") -eq 1 ]] || fail "more than one line: $(cat "$e2e_tmp/nodisplay")"

# No seat: nothing to point or type with, and nothing breaks.
start_private_weston headless "${W}x$H" || skip "no headless weston"
headless_pid=$weston_pid
DISPLAY= start_program "$binary"
sleep 3
kill -0 "$program_pid" 2>/dev/null || fail "without a seat: ended by itself: $(cat "$e2e_tmp/stderr")"
terminate "without a seat"
no_stderr "without a seat"
kill "$headless_pid"
wait "$headless_pid" 2>/dev/null || true

# The nested compositor: the program sees only Wayland, so a window on X11 cannot stand in.
start_private_weston x11 "${W}x$H" || skip "no nested weston"
write_wayland_wrapper "$binary"

: >"$e2e_tmp/stderr"
start_program "$e2e_tmp/on-wayland"
wait_for_sky || fail "the screen stayed black: $(cat "$e2e_tmp/stderr")"
sleep 1
screenshot "$e2e_tmp/scene.ppm"
moon=$(brightness "$e2e_tmp/scene.ppm" "24x24+$((W - 486 + 71 - 12))+$((179 - 12))")
sky=$(brightness "$e2e_tmp/scene.ppm" "24x24+$((W / 2))+$((H / 2))")
above "$moon" 0.6 || fail "no moon at its place ($moon)"
above 0.3 "$sky" || fail "the sky is not dark ($sky)"
echo "moon brightness $moon, sky $sky"
# A second start on the same compositor leaves the scene to the first and ends with status 0.
second=0
"$e2e_tmp/on-wayland" || second=$?
[[ $second -eq 0 ]] || fail "the second start: status $second"
kill -0 "$program_pid" || fail "the second start ended the first"
xdotool mousemove $((W / 2)) $((H / 2))
sleep 0.3
xdotool key ctrl+q
status=0
wait_exit "$program_pid" 2 || status=$?
[[ $status -eq 0 ]] || fail "Ctrl+Q: status $status (255: still running after 2 s)"
no_stderr "Ctrl+Q"

bash "$here/scene_controls.sh" "$e2e_tmp/on-wayland" || fail "the controls on Wayland"
no_stderr "the controls"

# The backend alone: squares presented one by one, many within one frame.
DISPLAY= "$probe" >"$e2e_tmp/probe.out" 2>"$e2e_tmp/stderr" &
probe_pid=$!
private_pids+=("$probe_pid")
probe_says() {
    for _ in $(seq 50); do
        grep -qx "$1" "$e2e_tmp/probe.out" && return 0
        sleep 0.1
    done
    fail "the probe did not say '$1': $(tr '\n' '|' <"$e2e_tmp/probe.out") $(cat "$e2e_tmp/stderr")"
}
probe_says "size $W $H"
probe_says drawn
sleep 0.5
screenshot "$e2e_tmp/squares.ppm"
colours=("srgb(255,0,0)" "srgb(0,255,0)" "srgb(0,0,255)")
for i in $(seq 0 23); do
    got=$(convert "$e2e_tmp/squares.ppm" -format "%[pixel:p{$((40 + i * 50)),120}]" info:)
    [[ $got == "${colours[i % 3]}" ]] || fail "square $i shows $got, not ${colours[i % 3]}"
done
gap=$(convert "$e2e_tmp/squares.ppm" -format "%[pixel:p{65,120}]" info:)
[[ $gap == "srgb(64,64,64)" ]] || fail "between the squares: $gap"
xdotool mousemove 300 400
probe_says "move 300 400"
xdotool click 3 click 2 click 1
probe_says "up 300 400"
[[ $(grep -c "^down\|^up" "$e2e_tmp/probe.out") -eq 2 ]] ||
    fail "buttons other than the left one: $(grep "^down\|^up" "$e2e_tmp/probe.out")"
xdotool key ctrl+q q ctrl+shift+a space F1 ctrl+5 XF86AudioPlay super+w
probe_says "key W 1"
keys=$(grep "^key\|^media" "$e2e_tmp/probe.out" | tr '\n' '|')
[[ $keys == "key Q 1|key Q 0|key A 1|key Space 0|key 5 1|media PlayPause|key W 1|" ]] || fail "keys read as $keys"
kill -TERM "$probe_pid"
status=0
wait_exit "$probe_pid" 2 || status=$?
[[ $status -eq 0 ]] && grep -qx quit "$e2e_tmp/probe.out" || fail "probe: SIGTERM: status $status"
no_stderr "the probe"
echo "probe: 24 squares in place; pointer, left button and keys as on X11"

start_program "$e2e_tmp/on-wayland"
wait_for_sky || fail "the screen stayed black again: $(cat "$e2e_tmp/stderr")"
terminate "on weston"
no_stderr "SIGTERM"

# The compositor goes away: one line, and a clean quit rather than a spin.
start_program "$e2e_tmp/on-wayland"
wait_for_sky || fail "the screen stayed black once more: $(cat "$e2e_tmp/stderr")"
kill "$weston_pid"
status=0
wait_exit "$program_pid" 3 || status=$?
[[ $status -eq 0 ]] || fail "compositor gone: status $status (255: still running after 3 s)"
[[ $(wc -l <"$e2e_tmp/stderr") -eq 1 ]] && grep -q "display connection closed" "$e2e_tmp/stderr" ||
    fail "compositor gone: stderr says: $(cat "$e2e_tmp/stderr")"
echo "ok"
