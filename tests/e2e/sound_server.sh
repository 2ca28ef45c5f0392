#!/usr/bin/env bash
# The real program on a sound server of its own kind (pulseaudio or pipewire, the first
# argument), driven with the real pointer: the top strip's speaker and the volume panel show the
# sink's volume from the start, read and left alone, and follow a change made with pactl; moving
# the slider of a muted sink unmutes it; the beach moves with the default output to another
# sink; and when the server is killed while the beach plays and started again, the sink carries
# the beach again within a few seconds without touching the program, which says so in one line
# each way, and the slider sets the volume again.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
export E2E_SOUND_SERVER=$1
binary=$2
ensure_display
start_sound_server "$e2e_tmp/server"
export PULSE_SERVER=$sound_server QUORVANE_TEST_SINK=quorvane_e2e
sink=quorvane_e2e
read -r W H < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
panel_x=$((W > 1152 ? W - 211 : 887))
speaker_x=$((W > 1152 ? W - 200 : 898))
slider_x=$((panel_x + 23))
moon_x=$((W - 486 + 71)) moon_y=179

above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
near() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; exit !(d < 0.01 && d > -0.01) }'; }
is_loud() { above "${1:-0}" 0.003; }
percent() { pactl get-sink-volume "$1" | grep -o '[0-9]*%' | head -1 | tr -d %; }
# Mean brightness of a rectangle WxH+X+Y of the screen; only that part is taken, which is
# quicker than a whole screenshot of the starry sky.
region() {
    import -window root -crop "$1" +repage "$e2e_tmp/region.png"
    brightness "$e2e_tmp/region.png"
}
panel_speaker() { region "25x21+$((panel_x + 11))+3"; }
# The row of the thumb's middle, from the top of the slider's 140-pixel track: the brightest.
thumb_row() {
    import -window root -crop "20x140+$((panel_x + 13))+31" +repage "$e2e_tmp/thumb.png"
    convert "$e2e_tmp/thumb.png" -colorspace Gray -scale '1x140!' -depth 8 gray:- | od -An -v -tu1 |
        awk '{ for (i = 1; i <= NF; i++) { if ($i > best) { best = $i; row = n } n++ } }
             END { print row }'
}
# Waits up to five seconds for the thumb to go above (up) or below (down) a row.
expect_thumb() {
    local way=$1 row=$2 now=""
    for _ in $(seq 50); do
        now=$(thumb_row)
        if [[ $way == up ]]; then
            ((now < row)) && return
        elif ((now > row)); then
            return
        fi
        sleep 0.1
    done
    fail "the thumb is at row $now, not $way of $row"
}

pactl set-sink-volume "$sink" 30%
start_program "$binary"
wait_for_sky || fail "no sky: $(cat "$e2e_tmp/stderr")"

# The strip's speaker shows 30 % from the start; the panel opens with the thumb low.
xdotool mousemove 600 12
sleep 0.3
strip_quiet=$(region "25x21+$speaker_x+3")
xdotool mousemove $((speaker_x + 12)) 12 click 1
sleep 0.5
row=$(thumb_row)
((row > 90)) || fail "at 30 % the thumb is at row $row of 140"
[[ $(percent "$sink") -eq 30 ]] || fail "opening the panel set the volume to $(percent "$sink") %"
quiet=$(panel_speaker)
echo "at 30 %: thumb at row $row, the sink left at $(percent "$sink") %"

# A change made elsewhere moves the thumb and the speakers, and is not written back.
start=$(date +%s%N)
pactl set-sink-volume "$sink" 80%
expect_thumb up 40
moved_ms=$((($(date +%s%N) - start) / 1000000))
loud=$(panel_speaker)
above "$loud" "$quiet" || fail "the speaker did not follow 80 % ($quiet -> $loud)"
pactl set-sink-mute "$sink" 1
sleep 0.5
muted=$(panel_speaker)
near "$muted" "$quiet" || fail "a muted sink does not show the quiet speaker ($muted, $quiet)"
[[ $(percent "$sink") -eq 80 ]] || fail "the panel wrote the volume back: $(percent "$sink") %"
echo "pactl to 80 %: the thumb had moved within $moved_ms ms; muted shows the quiet speaker"

# Moving the slider unmutes.
xdotool mousemove "$slider_x" $((31 + 70)) click 1
sleep 0.5
[[ $(pactl get-sink-mute "$sink") == "Mute: no" ]] || fail "the slider left the sink muted"
# The strip's speaker showed the quiet picture at the start: louder now.
xdotool mousemove 600 500
sleep 0.2
xdotool mousemove 600 12
sleep 0.3
strip_now=$(region "25x21+$speaker_x+3")
above "$strip_now" "$strip_quiet" || fail "the strip's speaker did not start quiet ($strip_quiet, now $strip_now)"
pactl set-sink-volume "$sink" 100%

# The beach follows the default output to another sink.
xdotool mousemove "$moon_x" "$moon_y" click 1
sleep 1
playing=$(sink_loudness 1)
is_loud "$playing" || fail "no beach on the sink (RMS $playing)"
pactl load-module module-null-sink sink_name=quorvane_e2e_other >/dev/null
sleep 0.5
pactl set-default-sink quorvane_e2e_other
sleep 1
QUORVANE_TEST_SINK=quorvane_e2e_other
moved=$(sink_loudness 1)
is_loud "$moved" || fail "the beach did not follow the default output (RMS $moved)"
QUORVANE_TEST_SINK=$sink
left=$(sink_loudness 1)
above 0.001 "$left" || fail "the first sink still sounds (RMS $left)"
echo "the beach moved with the default output: RMS $moved there, $left on the first sink"

# The server goes away while the beach plays and comes back.
stop_sound_server
sleep 1
start_sound_server "$e2e_tmp/server"
back=$(date +%s%N)
heard=""
for _ in $(seq 20); do
    level=$(sink_loudness 0.25)
    if is_loud "$level"; then
        heard=$((($(date +%s%N) - back) / 1000000))
        break
    fi
done
[[ -n $heard ]] || fail "no beach five seconds after the server came back: $(cat "$e2e_tmp/stderr")"
echo "the beach was heard again within $heard ms of the server's return (0.25 s recordings)"
kill -0 "$program_pid" || fail "the program ended"
# One line each way. A stream that came back before the server's sink was there can lose its
# place once more, and is picked up again the same way.
gone='quorvane: sound went away: the pulseaudio output was closed; will reconnect'
awk -v gone="$gone" '$0 != (NR % 2 ? gone : "quorvane: sound is back") { bad = 1 }
    END { exit bad || NR % 2 || NR == 0 }' "$e2e_tmp/stderr" || fail "stderr: $(cat "$e2e_tmp/stderr")"

# The volume is set again through the new connection.
xdotool mousemove 600 12
sleep 0.2
xdotool mousemove $((speaker_x + 12)) 12 click 1
sleep 0.3
got=""
for _ in $(seq 20); do
    xdotool mousemove "$slider_x" $((31 + 139)) click 1
    sleep 0.3
    got=$(percent "$sink")
    [[ $got -eq 0 ]] && break
done
[[ $got -eq 0 ]] || fail "the slider no longer sets the volume: $got %"

xdotool key ctrl+q
status=0
wait_exit "$program_pid" 2 || status=$?
[[ $status -eq 0 ]] || fail "Ctrl+Q: status $status"
echo "ok"
