#!/usr/bin/env bash
# Installs into a temporary prefix and runs the installed program: it finds its media from its
# own location, shows the sky and quits with Ctrl+Q. The launcher and the AppStream file are
# valid.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=$1
ensure_display

prefix="$e2e_tmp/prefix with space"
cmake --install "$build" --prefix "$prefix" >/dev/null
desktop-file-validate "$prefix/share/applications/quorvane.desktop" ||
    fail "the launcher does not validate"
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml >/dev/null ||
    fail "the AppStream file does not validate"
for size in 48 64 128 256; do
    [[ $(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/quorvane.png") == "${size}x${size}" ]] ||
        fail "icon ${size}x${size}"
done

cd "$e2e_tmp"
env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$e2e_tmp" "$prefix/bin/quorvane" 2>"$e2e_tmp/stderr" &
program_pid=$!
private_pids+=("$program_pid")
wait_for_sky || fail "the installed program shows no sky: $(cat "$e2e_tmp/stderr")"
xdotool key ctrl+q
status=0
wait_exit "$program_pid" 2 || status=$?
[[ $status -eq 0 ]] || fail "Ctrl+Q: status $status"
echo "ok"
