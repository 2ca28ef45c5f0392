#!/usr/bin/env bash
# The command line without a display. The program as a citizen of a desktop session, on a
# private session bus, under a window manager: the media controls start and stop the beach on
# the sink and report it, a second start brings the first forward and ends with status 0, the
# media controls' Quit ends the program in order; the Play/Pause key works in the window.
# Without a session bus it runs as before, silently.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1
ensure_display
ensure_sound_server
command -v openbox >/dev/null || fail "openbox is missing"

# The terminal's questions need no display, and a misuse is told as one.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY "$binary")
help=$("${no_display[@]}" --help 2>"$e2e_tmp/cli.err") || fail "--help: status $?"
[[ $help == "Usage: quorvane "* && ! -s $e2e_tmp/cli.err ]] || fail "--help said: $help $(cat "$e2e_tmp/cli.err")"
version=$("${no_display[@]}" --version 2>"$e2e_tmp/cli.err") || fail "--version: status $?"
[[ $version =~ ^quorvane\ [0-9]+\.[0-9]+\.[0-9]+$ && ! -s $e2e_tmp/cli.err ]] || fail "--version said: $version"
code=0
misuse=$("${no_display[@]}" --fullscreen 2>"$e2e_tmp/cli.err") || code=$?
[[ $code -eq 2 && -z $misuse ]] || fail "a bad option: status $code, stdout '$misuse'"
grep -q "unknown option '--fullscreen'" "$e2e_tmp/cli.err" || fail "a bad option said: $(cat "$e2e_tmp/cli.err")"
echo "command line: $version; --help, a bad option (status 2) without a display"

run=$e2e_tmp/run
mkdir -p "$run" && chmod 700 "$run"
export XDG_RUNTIME_DIR=$run
start_private_session_bus "$e2e_tmp/bus" || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$session_bus

player=org.mpris.MediaPlayer2.quorvane
call() {
    dbus-send --session --print-reply --dest=$player /org/mpris/MediaPlayer2 "$@"
}
status() {
    call org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player \
        string:PlaybackStatus | grep -o '"[A-Za-z]*"' | tr -d '"'
}
on_bus() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:"${1:-$player}" | grep -q 'boolean true'
}
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
active_window() { xdotool getactivewindow 2>/dev/null || echo none; }

openbox --config-file /dev/null >/dev/null 2>&1 &
private_pids+=($!)
sleep 0.5

start_program "$binary"
wait_for_sky || fail "no sky: $(cat "$e2e_tmp/stderr")"
for _ in $(seq 50); do
    on_bus && break
    sleep 0.1
done
on_bus || fail "$player is not on the session bus"
identity=$(call org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2 string:Identity)
[[ $identity == *'"Quorvane"'* ]] || fail "Identity: $identity"
[[ $(status) == Stopped ]] || fail "PlaybackStatus before: $(status)"

dbus-monitor --session "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged'" \
    >"$e2e_tmp/signals" 2>/dev/null &
monitor_pid=$!
private_pids+=("$monitor_pid")
sleep 0.3

# PlayPause starts the beach, a second one silences it.
call org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
[[ $(status) == Playing ]] || fail "PlaybackStatus after PlayPause: $(status)"
sleep 1
playing=$(sink_loudness 2)
above "$playing" 0.003 || fail "no sound after PlayPause (RMS $playing)"
call org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
[[ $(status) == Stopped ]] || fail "PlaybackStatus after the second PlayPause: $(status)"
sleep 0.5
quiet=$(sink_loudness 1.5)
above 0.0005 "$quiet" || fail "still sounding after the second PlayPause (RMS $quiet)"
echo "PlayPause: RMS $playing while playing, $quiet after the second"
# Stop when stopped changes nothing, and Play when playing neither.
call org.mpris.MediaPlayer2.Player.Stop >/dev/null
call org.mpris.MediaPlayer2.Player.Play >/dev/null
call org.mpris.MediaPlayer2.Player.Play >/dev/null
[[ $(status) == Playing ]] || fail "PlaybackStatus after Stop, Play, Play: $(status)"
sleep 0.3
kill "$monitor_pid"
wait "$monitor_pid" 2>/dev/null || true
changes=$(grep -o 'string "Playing"\|string "Stopped"' "$e2e_tmp/signals" | awk '{ print $2 }' | tr -d '"' | paste -sd, -)
[[ $changes == Playing,Stopped,Playing ]] || fail "the PlaybackStatus signals: '$changes'"
echo "signals: $changes"

# A window on top takes the focus; a second start brings the scene forward and ends at once.
scene_window=$(xdotool search --pid "$program_pid" | head -1)
xmessage -geometry 300x100+100+100 "on top" 2>/dev/null &
private_pids+=($!)
for _ in $(seq 50); do
    [[ $(active_window) != "$scene_window" && $(active_window) != none ]] && break
    sleep 0.1
done
[[ $(active_window) != "$scene_window" ]] || fail "the other window did not take the focus"
started=$(date +%s%N)
second=0
"$binary" 2>"$e2e_tmp/second.stderr" || second=$?
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
[[ $second -eq 0 ]] || fail "the second start: status $second: $(cat "$e2e_tmp/second.stderr")"
((elapsed_ms < 1000)) || fail "the second start took $elapsed_ms ms"
kill -0 "$program_pid" || fail "the first one ended"
for _ in $(seq 20); do
    [[ $(active_window) == "$scene_window" ]] && break
    sleep 0.1
done
[[ $(active_window) == "$scene_window" ]] || fail "the scene did not come forward"
[[ $(status) == Playing ]] || fail "the second start changed the first: $(status)"
echo "second start: status 0 after $elapsed_ms ms, the scene in front"

# The keyboard's Play/Pause key, in the scene's window, stops the beach and the controls hear it.
xdotool key XF86AudioPlay
sleep 0.3
[[ $(status) == Stopped ]] || fail "PlaybackStatus after the Play/Pause key: $(status)"

# Another session of the same user (its own runtime folder) on the same bus: a name of its own.
mkdir -p "$e2e_tmp/run2" && chmod 700 "$e2e_tmp/run2"
XDG_RUNTIME_DIR=$e2e_tmp/run2 "$binary" 2>/dev/null &
other_pid=$!
private_pids+=("$other_pid")
for _ in $(seq 50); do
    on_bus "$player.instance$other_pid" && break
    sleep 0.1
done
on_bus "$player.instance$other_pid" || fail "the other session's player is not on the bus"
dbus-send --session --print-reply --dest="$player.instance$other_pid" /org/mpris/MediaPlayer2 \
    org.mpris.MediaPlayer2.Quit >/dev/null
code=0
wait_exit "$other_pid" 3 || code=$?
[[ $code -eq 0 ]] || fail "the other session's Quit: status $code"
on_bus || fail "the first player left the bus"

# Quit from the media controls: the ordered shutdown, status 0.
call org.mpris.MediaPlayer2.Quit >/dev/null
code=0
wait_exit "$program_pid" 3 || code=$?
[[ $code -eq 0 ]] || fail "Quit: status $code: $(cat "$e2e_tmp/stderr")"
[[ ! -s $e2e_tmp/stderr ]] || fail "the program said: $(cat "$e2e_tmp/stderr")"

# No session bus: the scene as ever, nothing said.
DBUS_SESSION_BUS_ADDRESS=unix:path=$e2e_tmp/no-bus start_program "$binary"
wait_for_sky || fail "no sky without a session bus: $(cat "$e2e_tmp/stderr")"
xdotool key ctrl+q
code=0
wait_exit "$program_pid" 3 || code=$?
[[ $code -eq 0 ]] || fail "without a bus: status $code"
[[ ! -s $e2e_tmp/stderr ]] || fail "without a bus the program said: $(cat "$e2e_tmp/stderr")"
echo "ok"
