#!/usr/bin/env bash
# The real program on a real X server: it shows the sky, Ctrl+Q ends it promptly with status 0,
# and without a display, with one that no server answers or without its media it says why in one
# line and exits 1.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=$1
ensure_display

start_program "$binary"
wait_for_sky || fail "the screen stayed black: $(cat "$e2e_tmp/stderr")"
screenshot "$e2e_tmp/sky.ppm"
sky=$(brightness "$e2e_tmp/sky.ppm")
echo "screen brightness $sky"
xdotool key ctrl+q
status=0
wait_exit "$program_pid" 2 || status=$?
[[ $status -eq 0 ]] || fail "Ctrl+Q: status $status (255: still running after 2 s)"

status=0
DISPLAY= "$binary" 2>"$e2e_tmp/nodisplay" || status=$?
[[ $status -eq 1 ]] || fail "without a display: status $status"
grep -q "cannot open the display" "$e2e_tmp/nodisplay" || fail "no clear message: $(cat "$e2e_tmp/nodisplay")"
[[ $(wc -l <"$e2e_tmp/nodisplay") -eq 1 ]] || fail "more than one line: $(cat "$e2e_tmp/nodisplay")"

# A display that no server answers is named in the one line.
n=98
while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do
    n=$((n + 1))
done
status=0
env -u WAYLAND_DISPLAY DISPLAY=":$n" "$binary" 2>"$e2e_tmp/nodisplay" || status=$?
[[ $status -eq 1 ]] || fail "with no server at :$n: status $status"
grep -q "^quorvane: cannot open the display: x11: .*:$n\b" "$e2e_tmp/nodisplay" ||
    fail "the display is not named: $(cat "$e2e_tmp/nodisplay")"
[[ $(wc -l <"$e2e_tmp/nodisplay") -eq 1 ]] || fail "more than one line: $(cat "$e2e_tmp/nodisplay")"

mkdir -p "$e2e_tmp/bare"
cp "$binary" "$e2e_tmp/bare/quorvane"
status=0
"$e2e_tmp/bare/quorvane" 2>"$e2e_tmp/nomedia" || status=$?
[[ $status -eq 1 ]] || fail "without media: status $status"
grep -q "cannot find the pictures and sounds; looked in $e2e_tmp/bare/media" "$e2e_tmp/nomedia" ||
    fail "no clear message: $(cat "$e2e_tmp/nomedia")"
echo "ok"
