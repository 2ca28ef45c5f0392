#!/usr/bin/env bash
# The screen's rest and the machine's sleep, on the X server under a window manager, with
# stand-ins for the desktop's screen saver service (on a private session bus) and for logind (on
# a private bus given as the system bus): the screen is held while the sky is shown, in the
# program's name, let go while the window is minimised or wholly covered and held again when it
# is back; sleep is held while the beach plays and let go when it stops; quitting lets go of
# everything.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1 standin=$2
ensure_display
ensure_sound_server
for tool in openbox xlogo dbus-daemon xdotool; do
    command -v $tool >/dev/null || fail "$tool is missing"
done
read -r W H < <(screen_size)

run=$e2e_tmp/run
mkdir -p "$run" && chmod 700 "$run"
export XDG_RUNTIME_DIR=$run
start_private_session_bus "$e2e_tmp/session" || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$session_bus
start_private_session_bus "$e2e_tmp/system" || fail "no system bus"
export DBUS_SYSTEM_BUS_ADDRESS=$session_bus

# A stand-in logs on stdout; its stdin stays open until the test ends.
start_standin() {
    local name=$1 address=$2
    mkfifo "$e2e_tmp/$name.in"
    "$standin" "$name" "$address" <"$e2e_tmp/$name.in" >"$e2e_tmp/$name.log" 2>&1 &
    private_pids+=($!)
    exec {fd}>"$e2e_tmp/$name.in"
    for _ in $(seq 100); do
        grep -q " ready " "$e2e_tmp/$name.log" && return
        sleep 0.05
    done
    fail "the $name stand-in did not start: $(cat "$e2e_tmp/$name.log")"
}
start_standin screensaver "$DBUS_SESSION_BUS_ADDRESS"
start_standin login1 "$DBUS_SYSTEM_BUS_ADDRESS"
count() { grep -c -- "$2" "$e2e_tmp/$1.log" || true; }
# Waits up to 5 s for the log to hold at least N lines with the text.
wait_for() {
    local log=$1 text=$2 n=$3
    for _ in $(seq 100); do
        [[ $(count "$log" "$text") -ge $n ]] && return 0
        sleep 0.05
    done
    fail "$log: fewer than $n lines with '$text': $(cat "$e2e_tmp/$log.log")"
}

openbox --config-file /dev/null >/dev/null 2>&1 &
private_pids+=($!)
sleep 0.5

start_program "$binary"
wait_for_sky || fail "no sky: $(cat "$e2e_tmp/stderr")"
wait_for screensaver ' Inhibit ' 1
grep -q 'application="Quorvane" reason="Showing the night sky"' "$e2e_tmp/screensaver.log" ||
    fail "the hold does not name the program: $(cat "$e2e_tmp/screensaver.log")"
window=$(xdotool search --name '^Quorvane$' | head -1)
[[ -n $window ]] || fail "no window named Quorvane"

# Minimised, then wholly covered by another window: let go; back in front, held again.
xdotool windowminimize "$window"
wait_for screensaver ' UnInhibit ' 1
xdotool windowactivate "$window"
wait_for screensaver ' Inhibit ' 2
xlogo -geometry "${W}x$H+0+0" 2>/dev/null &
cover_pid=$!
private_pids+=("$cover_pid")
wait_for screensaver ' UnInhibit ' 2
kill "$cover_pid"
wait "$cover_pid" 2>/dev/null || true
wait_for screensaver ' Inhibit ' 3
xdotool windowactivate --sync "$window"
echo "screen held while shown: minimised and covered let it go, each back took it again"

# Sleep is held while the beach plays.
moon_x=$((W - 486 + 71)) moon_y=179
[[ $(count login1 ' Inhibit ') -eq 0 ]] || fail "sleep held before the beach played"
xdotool mousemove "$moon_x" "$moon_y" click 1
wait_for login1 ' Inhibit ' 1
grep -q 'what=sleep who="Quorvane" why="Playing the beach" mode=block' "$e2e_tmp/login1.log" ||
    fail "the sleep hold does not name the program: $(cat "$e2e_tmp/login1.log")"
xdotool mousemove "$moon_x" "$moon_y" click 1
wait_for login1 'released hold=1' 1
xdotool mousemove "$moon_x" "$moon_y" click 1
wait_for login1 ' Inhibit ' 2
echo "sleep held while the beach played, let go when it stopped"

# Quitting lets go of both.
xdotool key ctrl+q
status=0
wait_exit "$program_pid" 5 || status=$?
[[ $status -eq 0 ]] || fail "Ctrl+Q: status $status"
wait_for login1 'released hold=2' 1
wait_for screensaver ' UnInhibit ' 3
[[ $(count screensaver ' Inhibit ') -eq 3 ]] || fail "held again: $(cat "$e2e_tmp/screensaver.log")"
[[ ! -s $e2e_tmp/stderr ]] || fail "stderr says: $(cat "$e2e_tmp/stderr")"
echo "quitting let go of both"
