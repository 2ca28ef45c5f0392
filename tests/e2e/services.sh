#!/usr/bin/env bash
# The desktop services of the real backend on a real sound server with a null sink: a sound is
# heard and Stop silences it; IsPlaying follows the sound; a looping sound goes on past three
# times its length with no gap and no click; the beep is heard; the output volume moves the
# sink's volume to 0 %, 50 % and 100 %, one channel at a time too, and survives the server going
# away and coming back; web addresses reach the opener verbatim without a shell and without
# waiting for it. Without any sound server the services still run, IsPlaying keeps the sounds'
# true durations, and stderr has exactly one line saying that sound is off. On PulseAudio, or
# on PipeWire with its pulse server when the second argument is pipewire.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
probe=$1
export E2E_SOUND_SERVER=${2:-pulseaudio}
ensure_display
ensure_sound_server

# Runs the probe as a coprocess with the given environment; its stderr goes to
# $e2e_tmp/NAME.stderr.
start_probe() {
    local name=$1
    shift
    coproc PROBE { env "$@" "$probe" 2>"$e2e_tmp/$name.stderr"; }
    private_pids+=("$PROBE_PID")
    probe_name=$name
    read -r -t 20 answer <&"${PROBE[0]}" || fail "$name: the probe did not start: $(cat "$e2e_tmp/$name.stderr")"
    [[ $answer == ready ]] || fail "$name: the probe said $answer"
}

ask() {
    echo "$*" >&"${PROBE[1]}"
    read -r -t 10 answer <&"${PROBE[0]}" || fail "$probe_name: no answer to '$*'"
}

expect() {
    local want=$1
    shift
    ask "$@"
    [[ $answer == "$want" ]] || fail "$probe_name: '$*' answered '$answer', not '$want'"
}

stop_probe() {
    local pid=$PROBE_PID
    echo quit >&"${PROBE[1]}"
    local status=0
    wait_exit "$pid" 10 || status=$?
    [[ $status -eq 0 ]] || fail "$probe_name: exit status $status: $(cat "$e2e_tmp/$probe_name.stderr")"
}

# Asks until the sound is over, up to ten seconds.
expect_ends() {
    for _ in $(seq 100); do
        ask playing "$1"
        [[ $answer == false ]] && return
        sleep 0.1
    done
    fail "$probe_name: $1 still playing after 10 s"
}

is_quiet() { awk -v x="${1:-0}" 'BEGIN { exit !(x < 0.002) }'; }
is_loud() { awk -v x="${1:-0}" 'BEGIN { exit !(x > 0.05) }'; }

# The volume percentages that pactl reads for the sink, one per channel.
sink_volume() {
    PULSE_SERVER=$1 pactl get-sink-volume "$2" | head -1 | grep -o '[0-9]*%' | tr '\n' ' '
}

# Waits until pactl reads the given percentages, up to five seconds.
expect_volume() {
    local server=$1 want=$2 got=""
    for _ in $(seq 50); do
        got=$(sink_volume "$server" "$3")
        [[ $got == "$want" ]] && return
        sleep 0.1
    done
    fail "$probe_name: the sink's volume is '$got', not '$want'"
}

# A browser opener that records what it was given and then takes its time.
mkdir -p "$e2e_tmp/bin" "$e2e_tmp/nobin"
cat >"$e2e_tmp/bin/xdg-open" <<OPENER
#!/bin/sh
echo \$\$ >"$e2e_tmp/opener.pid"
echo "\${PULSE_LATENCY_MSEC:-unset}" >"$e2e_tmp/opener.latency"
printf '%s\n' "\$@" >"$e2e_tmp/opened"
exec sleep 60
OPENER
chmod +x "$e2e_tmp/bin/xdg-open"

echo "with the sound server"
start_probe live PATH="$e2e_tmp/bin:$PATH"
is_quiet "$(sink_loudness 0.5)" || fail "the sink is not silent to begin with"
expect ok tone long 3 440
expect ok play long
expect true playing long
loud=$(sink_loudness 1)
is_loud "$loud" || fail "a playing sound is not heard: RMS $loud"
expect ok stop long
expect false playing long
sleep 0.5
quiet=$(sink_loudness 0.5)
is_quiet "$quiet" || fail "Stop leaves the sink sounding: RMS $quiet"
echo "heard at RMS $loud; after Stop $quiet"

expect ok tone short 0.5 440
expect ok play short
expect true playing short
expect_ends short

# 441 whole cycles in one second: the loop point is invisible in a seamless repetition.
expect ok tone seamless 1 441
expect ok loop seamless
sleep 3.5
expect true playing seamless
record_sink 2 "$e2e_tmp/loop.raw"
read -r _ windows _ quietest _ mean _ step < <("$probe" --analyse "$e2e_tmp/loop.raw")
echo "looping: $windows windows of 10 ms, quietest $quietest, mean $mean, largest step $step"
((windows > 100)) || fail "the loop recording is too short"
# A gap shows as a quiet window; a click as a step far beyond the sine's own (0.031).
awk -v q="$quietest" -v m="$mean" -v s="$step" 'BEGIN { exit !(q > 0.9 * m && m > 0.3 && s < 0.05) }' ||
    fail "the loop has a gap or a click"
expect ok stop seamless

start_recording
expect ok beep
sleep 1
finish_recording "$e2e_tmp/beep.raw"
beep=$(loudness "$e2e_tmp/beep.raw")
awk -v x="${beep:-0}" 'BEGIN { exit !(x > 0.003) }' || fail "the beep is not heard: RMS $beep"
echo "beep heard at RMS $beep"

expect ok volume 0 0
expect_volume "$PULSE_SERVER" "0% 0% " "$sink"
expect ok volume 128 128
expect_volume "$PULSE_SERVER" "50% 50% " "$sink"
expect ok volume 255 255
expect_volume "$PULSE_SERVER" "100% 100% " "$sink"
expect ok volume 255 64
expect_volume "$PULSE_SERVER" "100% 25% " "$sink"
# A level out of range is clamped, not wrapped.
expect ok volume 300 -5
expect_volume "$PULSE_SERVER" "100% 0% " "$sink"
# A slider drag: many levels at once end at the last one.
for level in $(seq 0 5 250) 77; do
    echo "volume $level $level" >&"${PROBE[1]}"
done
for _ in $(seq 0 5 250) 77; do
    read -r -t 10 answer <&"${PROBE[0]}" || fail "no answer during the drag"
done
expect_volume "$PULSE_SERVER" "30% 30% " "$sink"
pactl set-sink-volume "$sink" 100%
echo "volume: 0, 128, 255, 255/64, 300/-5 and a drag ending at 77 read as 0 %, 50 %, 100 %, 100/25 %, 100/0 %, 30 %"

# Reading: 0-100 % of the normal volume as 0-255, louder as 255, mute apart; a change made
# elsewhere is told, the echo of the program's own is not, and its level above 0 unmutes.
expect_read() {
    for _ in $(seq 50); do
        ask read
        [[ $answer == "$1" ]] && return
        sleep 0.1
    done
    fail "$probe_name: read '$answer', not '$1'"
}
# The changes above made with pactl have been told already; those tellings go first.
for _ in $(seq 10); do
    ask changed 300
    [[ $answer == none ]] && break
done
for change in "30% 76 on" "150% 255 on" "0% 0 on" "100% 255 on"; do
    read -r pct want <<<"$change"
    echo "changed 3000" >&"${PROBE[1]}"
    sleep 0.2
    pactl set-sink-volume "$sink" "$pct"
    read -r -t 10 answer <&"${PROBE[0]}" || fail "no answer to changed"
    [[ $answer == changed ]] || fail "setting $pct elsewhere was not told"
    expect_read "$want"
done
pactl set-sink-mute "$sink" 1
expect changed changed 3000
expect_read "255 muted"
expect ok volume 100 100
expect_read "100 on"
[[ $(pactl get-sink-mute "$sink") == "Mute: no" ]] || fail "a level above 0 left the sink muted"
expect none changed 500
pactl set-sink-volume "$sink" 100%
echo "read: 30 %, 150 %, 0 %, 100 %, muted as 76, 255, 0, 255, 255 muted; each told, the own level not"

address='https://example.org/a b;$(touch '"$e2e_tmp"'/shell)&x=`id`'
expect ok url "$address"
expect false playing long # answers at once, while the opener still runs
for _ in $(seq 50); do
    [[ -s $e2e_tmp/opened ]] && break
    sleep 0.1
done
[[ $(cat "$e2e_tmp/opened" 2>/dev/null) == "$address" ]] ||
    fail "the opener got '$(cat "$e2e_tmp/opened" 2>/dev/null)', not '$address'"
# The sound's longer buffer is the program's own: what it starts has the user's.
[[ $(cat "$e2e_tmp/opener.latency") == unset ]] ||
    fail "the opener inherited PULSE_LATENCY_MSEC=$(cat "$e2e_tmp/opener.latency")"
[[ ! -e $e2e_tmp/shell ]] || fail "the address went through a shell"
kill "$(cat "$e2e_tmp/opener.pid")" 2>/dev/null || true
stop_probe
[[ ! -s $e2e_tmp/live.stderr ]] || fail "stderr: $(cat "$e2e_tmp/live.stderr")"

echo "the sound server goes away and comes back"
start_sound_server "$e2e_tmp/pulse2"
second=$sound_server
start_probe restart PULSE_SERVER="$second"
expect ok volume 128 128
expect_volume "$second" "50% 50% " quorvane_e2e
stop_sound_server
expect ok tone short 0.5 440
expect ok play short
expect_ends short
expect ok volume 200 200
start_sound_server "$e2e_tmp/pulse2"
got=""
for _ in $(seq 20); do
    expect ok volume 255 255
    sleep 0.3
    got=$(sink_volume "$second" quorvane_e2e)
    [[ $got == "100% 100% " ]] && break
done
[[ $got == "100% 100% " ]] || fail "no volume after the server came back: '$got'"
stop_probe
stop_sound_server

echo "without a sound server"
start_probe silent PULSE_SERVER="unix:$e2e_tmp/nowhere" SDL_AUDIODRIVER=pulseaudio \
    PATH="$e2e_tmp/nobin"
expect ok tone short 0.5 440
expect ok play short
expect true playing short
expect_ends short
expect ok tone seamless 1 441
expect ok loop seamless
sleep 1.5
expect true playing seamless
expect ok stop seamless
expect false playing seamless
expect ok beep
expect ok volume 128 128
expect ok url https://example.org/
expect false playing short
stop_probe
[[ $(wc -l <"$e2e_tmp/silent.stderr") -eq 1 ]] &&
    grep -q '^quorvane: sound is off: ' "$e2e_tmp/silent.stderr" ||
    fail "not one line saying that sound is off: $(cat "$e2e_tmp/silent.stderr")"
echo "$(cat "$e2e_tmp/silent.stderr")"
echo "ok"
