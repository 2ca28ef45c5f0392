#!/usr/bin/env bash
# The pointer as the X server shows it, in the real program: the finger over the sound hot spot
# and the arrow elsewhere; a click on the hot spot starts the sounds (heard on the sink) and
# hides the pointer until it next moves; a second click stops them. Then, on the backend alone:
# a pointer hidden until the next move is shown again by System.Cursors.Show.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1 cursor_state=$2 probe=$3
ensure_display
ensure_sound_server

# Waits until the pointer looks as wanted ("hidden", a fingerprint, or "not:" one), up to 5 s.
expect_pointer() {
    local want=$1 what=$2 got=""
    for _ in $(seq 50); do
        got=$("$cursor_state")
        if [[ $want == not:* ]]; then
            [[ $got != "${want#not:}" && $got == shown* ]] && return
        elif [[ $got == "$want" ]]; then
            return
        fi
        sleep 0.1
    done
    fail "$what: the pointer is '$got'"
}

is_quiet() { awk -v x="${1:-0}" 'BEGIN { exit !(x < 0.002) }'; }

width=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1] }')
hot_x=$((width - 486 + 71)) hot_y=179
bare_x=300 bare_y=600

start_program "$binary"
wait_for_sky || fail "the screen stayed black: $(cat "$e2e_tmp/stderr")"
xdotool mousemove "$bare_x" "$bare_y"
sleep 0.5
arrow=$("$cursor_state")
[[ $arrow == shown* ]] || fail "no pointer over the scene: $arrow"
xdotool mousemove "$hot_x" "$hot_y"
expect_pointer "not:$arrow" "over the hot spot"
finger=$("$cursor_state")
xdotool mousemove "$bare_x" "$bare_y"
expect_pointer "$arrow" "back on the bare scene"
echo "arrow $arrow, finger $finger"

is_quiet "$(sink_loudness 0.5)" || fail "sound before the hot spot was clicked"
xdotool mousemove "$hot_x" "$hot_y"
expect_pointer "$finger" "over the hot spot again"
xdotool click 1
expect_pointer hidden "after the click on the hot spot"
loud=$(sink_loudness 1)
awk -v x="$loud" 'BEGIN { exit !(x > 0.01) }' || fail "the sound cues are not heard: RMS $loud"
echo "the sound cues are heard at RMS $loud"
xdotool mousemove $((hot_x + 5)) $((hot_y + 5))
expect_pointer "$finger" "after moving"
xdotool click 1
expect_pointer hidden "after the second click"
sleep 0.5
quiet=$(sink_loudness 0.5)
is_quiet "$quiet" || fail "the second click left sound playing: RMS $quiet"
xdotool key ctrl+q
status=0
wait_exit "$program_pid" 5 || status=$?
[[ $status -eq 0 ]] || fail "quit: status $status"
[[ ! -s $e2e_tmp/stderr ]] || fail "stderr: $(cat "$e2e_tmp/stderr")"

# The backend alone: hidden until moved, and shown again by Show without a move.
coproc PROBE { "$probe" 2>"$e2e_tmp/probe.stderr"; }
private_pids+=("$PROBE_PID")
ask() {
    echo "$*" >&"${PROBE[1]}"
    read -r -t 10 answer <&"${PROBE[0]}" || fail "probe: no answer to '$*'"
    [[ $answer == ok || $answer == ready ]] || fail "probe: '$*' answered '$answer'"
}
read -r -t 20 answer <&"${PROBE[0]}" || fail "the probe did not start: $(cat "$e2e_tmp/probe.stderr")"
xdotool mousemove "$bare_x" "$bare_y"
ask pump
expect_pointer "not:hidden" "over the probe's window"
ask obscure
expect_pointer hidden "obscured"
ask show
expect_pointer "not:hidden" "after Show"
ask obscure
expect_pointer hidden "obscured again"
xdotool mousemove $((bare_x + 7)) $((bare_y + 7))
sleep 0.2
ask pump
expect_pointer "not:hidden" "after moving"
echo quit >&"${PROBE[1]}"
wait_exit "$PROBE_PID" 10 || fail "the probe did not quit"
echo "ok"
