#!/usr/bin/env bash
# Two starts on the same display in a session without XDG_RUNTIME_DIR (su, cron, a bare X
# server): the first takes the lock in a folder of the user's own under /tmp, made for the user
# alone; the second brings it forward and ends with status 0, so one scene shows; neither says a
# word.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1
ensure_display
ensure_sound_server
own=/tmp/quorvane-$(id -u)

start_program env -u XDG_RUNTIME_DIR "$binary"
wait_for_sky || fail "no sky: $(cat "$e2e_tmp/stderr")"
status=0
timeout 10 env -u XDG_RUNTIME_DIR "$binary" 2>"$e2e_tmp/second.err" || status=$?
[[ $status -eq 0 ]] || fail "the second start ended with $status: $(cat "$e2e_tmp/second.err")"
[[ ! -s $e2e_tmp/second.err ]] || fail "the second start said: $(cat "$e2e_tmp/second.err")"
kill -0 "$program_pid" || fail "the first start ended: $(cat "$e2e_tmp/stderr")"
windows=$(xdotool search --name '^Quorvane$' | wc -l)
[[ $windows -eq 1 ]] || fail "$windows scenes"
[[ -d $own && ! -L $own && $(stat -c '%a %u' "$own") == "700 $(id -u)" ]] ||
    fail "$own is not a private folder: $(stat -c '%A %U' "$own" 2>&1)"
x11=x11$(tr -c 'A-Za-z0-9.:\n-' _ <<<"$DISPLAY")
[[ -S $own/quorvane-$x11.socket && -e $own/quorvane-$x11.lock ]] || fail "no lock and socket: $(ls -la "$own")"

xdotool key ctrl+q
status=0
wait_exit "$program_pid" 2 || status=$?
[[ $status -eq 0 ]] || fail "Ctrl+Q: status $status"
[[ ! -s $e2e_tmp/stderr ]] || fail "the first start said: $(cat "$e2e_tmp/stderr")"
[[ ! -e $own/quorvane-$x11.socket ]] || fail "the socket outlived its holder"
echo "ok: one scene, the second start ended with 0, lock and socket in $own"
