#!/usr/bin/env bash
# The real program with its surf file damaged (not a sound at all, as a bad copy leaves it): the
# moon still starts the beach, the sink carries the footsteps within 3 s of the click, a second
# click stops them, and the one line on stderr naming the file is all that is said.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1
ensure_display
ensure_sound_server
read -r W _ < <(screen_size)
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# A copy of the program beside its media, all but the surf shared with the build.
copy_program "$binary"
rm "$program/media/sounds/170.wav"
echo '<html>not a sound</html>' >"$program/media/sounds/170.wav"

start_program "$program/quorvane"
wait_for_sky || fail "no sky: $(cat "$e2e_tmp/stderr")"
moon_x=$((W - 486 + 71)) moon_y=179
xdotool mousemove "$moon_x" "$moon_y"
sleep 0.3
start_recording
xdotool click 1
sleep 3
finish_recording "$e2e_tmp/walk.raw"
walk=$(loudness "$e2e_tmp/walk.raw")
above "$walk" 0.001 || fail "no footsteps within 3 s of the click (RMS $walk): $(cat "$e2e_tmp/stderr")"
# The footsteps last a few seconds; the second click stops what still sounds.
xdotool mousemove "$moon_x" $((moon_y + 1)) click 1
sleep 0.5
quiet=$(sink_loudness 1.5)
above 0.0005 "$quiet" || fail "still sounding after the second click (RMS $quiet)"
kill -0 "$program_pid" || fail "the program ended: $(cat "$e2e_tmp/stderr")"
[[ $(wc -l <"$e2e_tmp/stderr") -eq 1 ]] && grep -q "^quorvane: sound 170: .*/sounds/170.wav: " "$e2e_tmp/stderr" ||
    fail "stderr should name the file once and say nothing else: $(cat "$e2e_tmp/stderr")"
echo "footsteps: RMS $walk in the 3 s after the click, $quiet after the second click; said: $(cat "$e2e_tmp/stderr")"
echo "ok"
