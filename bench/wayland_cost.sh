#!/usr/bin/env bash
# What the program costs natively on Wayland beside X11, in the same run: the scene on weston
# (pixman renderer, nested in a private Xvfb, kiosk shell) and the scene on a private Xvfb of
# the same size, both untouched and started together, both playing into a private PulseAudio
# null sink. After a warm-up, prints for a measured window: the program's CPU (% of one core,
# from its utime+stime in /proc), its peak resident memory (VmHWM), and the display server's
# CPU beside it (weston, and the Xvfb under each), then the Wayland/X11 ratios. Aims: the
# program's CPU within 1.5x of its X11 figure, its peak memory within 20 MB of it.
#   bench/wayland_cost.sh [BUILD_DIR] [SECONDS] [SIZE] [rest|beach]
# beach: a click on the moon starts the beach on both before the warm-up; rest (the default):
# the scene at rest, no sound playing.
set -euo pipefail
here=$(dirname "$0")
build=$(realpath "${1:-build}") seconds=${2:-60} size=${3:-1920x1080} mode=${4:-rest}
warmup=${WARMUP:-10}
binary=$build/quorvane
source "$here/../scripts/private_servers.sh"
ticks=$(getconf CLK_TCK)
W=${size%x*}
case $mode in
rest) what="at rest, no sound playing" ;;
beach) what="with the beach playing (a click on the moon started it on both)" ;;
*)
    echo "usage: bench/wayland_cost.sh [BUILD_DIR] [SECONDS] [SIZE] [rest|beach]" >&2
    exit 2
    ;;
esac

start_private_sound_server "$private_tmp/pulse" quorvane_bench
export PULSE_SERVER=$sound_server
pactl set-default-sink quorvane_bench

start_private_display "$size" 210
wayland_x=$DISPLAY wayland_xvfb=${private_pids[-1]}
start_private_weston x11 "$size"
env -u DISPLAY "$binary" 2>"$private_tmp/wayland.err" &
wayland_pid=$!
private_pids+=("$wayland_pid")

start_private_display "$size" $((${wayland_x#:} + 1))
x11_x=$DISPLAY x11_xvfb=${private_pids[-1]}
env -u WAYLAND_DISPLAY "$binary" 2>"$private_tmp/x11.err" &
x11_pid=$!
private_pids+=("$x11_pid")

sleep 3
if [[ $mode == beach ]]; then
    for d in "$wayland_x" "$x11_x"; do
        DISPLAY=$d xdotool mousemove $((W - 486 + 71)) 179 click 1 mousemove $((W / 2)) 700
    done
fi
sleep "$warmup"

cpu() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
pids=("$wayland_pid" "$weston_pid" "$wayland_xvfb" "$x11_pid" "$x11_xvfb")
before=()
for p in "${pids[@]}"; do before+=("$(cpu "$p")"); done
sleep "$seconds"
after=()
for p in "${pids[@]}"; do after+=("$(cpu "$p")"); done
peak() { awk '/VmHWM/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }
wayland_peak=$(peak "$wayland_pid") x11_peak=$(peak "$x11_pid")
for p in "$wayland_pid" "$x11_pid"; do
    kill -0 "$p" 2>/dev/null || { echo "a program ended early" >&2; exit 1; }
done

share() { awk -v c=$(($2 - $1)) -v t="$ticks" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * c / t / s }'; }
wl_cpu=$(share "${before[0]}" "${after[0]}") weston_cpu=$(share "${before[1]}" "${after[1]}")
wl_xvfb_cpu=$(share "${before[2]}" "${after[2]}")
x11_cpu=$(share "${before[3]}" "${after[3]}") x11_xvfb_cpu=$(share "${before[4]}" "${after[4]}")

echo "screen $size, the scene $what; ${warmup}s warm-up, ${seconds}s measured"
printf '%-22s %9s %9s %12s %10s\n' path "cpu%core" peak_MiB "server%core" "Xvfb%core"
printf '%-22s %9s %9s %12s %10s\n' "Wayland (weston)" "$wl_cpu" "$wayland_peak" "$weston_cpu" "$wl_xvfb_cpu"
printf '%-22s %9s %9s %12s %10s\n' "X11 (Xvfb)" "$x11_cpu" "$x11_peak" "-" "$x11_xvfb_cpu"
awk -v a="$wl_cpu" -v b="$x11_cpu" -v m="$wayland_peak" -v n="$x11_peak" 'BEGIN {
    printf "ratio Wayland/X11: cpu=%.2f (aim <= 1.5); peak memory difference %+.1f MiB (aim <= 20)\n",
        (b > 0 ? a / b : 0), m - n }'
for f in wayland x11; do
    [[ -s $private_tmp/$f.err ]] && echo "stderr of the $f run: $(cat "$private_tmp/$f.err")"
done
exit 0
