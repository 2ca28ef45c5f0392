#!/usr/bin/env bash
# The resident memory of the real program with the beach playing, on PulseAudio (whose null
# sink runs at 44.1 kHz, the sounds' own rate) and on PipeWire (48 kHz), each on a private Xvfb
# at 1920x1080 and a private server started here and stopped by PID: the moon is clicked, and
# the memory read SECONDS later (90: the second surf comes at 50 s and the splash at 86 s, so all
# four sounds are loaded by then). Each binary given is measured in turn, for comparing builds.
#   bench/beach_memory.sh SECONDS BINARY...
set -euo pipefail
seconds=$1
shift
source "$(dirname "$0")/../scripts/private_servers.sh"
tmp=$private_tmp
start_private_display 1920x1080 240

kb() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

echo "server      RSS MB  anon MB  binary   (${seconds} s after the moon)"
for server in pulseaudio pipewire; do
    for binary in "$@"; do
        start_private_sound_server_of "$server" "$tmp/$server" bench
        PULSE_SERVER=$sound_server "$binary" 2>"$tmp/stderr" &
        program=$!
        sleep 3
        xdotool mousemove $((1920 - 415)) 179 click 1
        sleep "$seconds"
        printf '%-10s  %6.1f  %7.1f  %s\n' "$server" "$(kb "$program" VmRSS | awk '{ print $1 / 1024 }')" \
            "$(kb "$program" RssAnon | awk '{ print $1 / 1024 }')" "$binary"
        kill "$program"
        wait "$program" 2>/dev/null || true
        stop_private_sound_server
    done
done
