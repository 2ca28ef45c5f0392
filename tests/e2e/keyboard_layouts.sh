#!/usr/bin/env bash
# Ctrl+Q in keyboard layouts of another script on a real X server. With the Russian layout alone
# (setxkbmap ru), the key marked Q quits. With Russian and French, the key French has Q on (the
# American A's place) quits, and the American Q's place (French A) does not. The server's layout
# is put back at the end.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1
ensure_display
saved=$(setxkbmap -query | awk '/^layout:/ { print $2 }')
trap 'setxkbmap "${saved:-us}"; stop_private_servers' EXIT

# Starts the program in a layout and waits for its sky.
start_in() {
    setxkbmap "$@"
    start_program "$binary"
    wait_for_sky || fail "no sky: $(cat "$e2e_tmp/stderr")"
    # The keys go to the program's window.
    xdotool mousemove 600 400
    sleep 0.3
}
quits_on() {
    xdotool key "ctrl+$1"
    local status=0
    wait_exit "$program_pid" 2 || status=$?
    [[ $status -eq 0 ]] || fail "Ctrl+$1 in $(setxkbmap -query | awk '/^layout:/ { print $2 }'): status $status (255: still running after 2 s)"
}

start_in ru
quits_on Cyrillic_shorti
echo "ru: Ctrl on the key marked Q quits"

start_in -layout ru,fr
xdotool key ctrl+Cyrillic_shorti # French A: nothing
sleep 1
kill -0 "$program_pid" || fail "Ctrl on French A quit"
quits_on Cyrillic_ef
echo "ru,fr: Ctrl on French Q quits, on French A it does not"
echo "ok"
