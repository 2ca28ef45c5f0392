#!/usr/bin/env bash
# What the running scene costs, beside a minimal program that only copies the dome rectangle
# every 75 ms (peerbench's "probe"): each runs full screen on a private Xvfb and PulseAudio,
# untouched, for a measured minute at 1920x1080 and at 3840x2160. Prints the program's CPU (%
# of one core), its resident memory, Xvfb's CPU over the same minute and how many pixels per
# second reach the X server, then the ratios quorvane/probe and 3840x2160/1920x1080. Aims:
# within 1.5x the probe, and at most 1.5x from the smaller screen to the larger one.
#   bench/scene_cost.sh [BUILD_DIR] [SIZES] [SECONDS]
# PEERBENCH names the measuring tool (default: the team's shared copy); it may apt-get install
# what it needs. SCALE runs the program at that scale (QUORVANE_SCALE), as on a HiDPI screen: at
# 3840x2160 and SCALE=2 it draws four times the pixels of the probe's dome.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}") sizes=${2:-1920x1080,3840x2160} seconds=${3:-60}
peerbench=${PEERBENCH:-/work/shared/tools/peerbench/peerbench.sh}
out=$(mktemp -d /tmp/quorvane-scene-cost.XXXXXX)

echo "scene_cost: measuring for ${seconds}s per run at $sizes; details in $out" >&2
cmd="$build/quorvane"
[[ -n ${SCALE:-} ]] && cmd="env QUORVANE_SCALE=$SCALE $cmd"
"$peerbench" --peers probe --cmd "$cmd" --name quorvane --size "$sizes" \
    --duration "$seconds" --display 240 --out "$out" >"$out/table.txt" 2>"$out/peerbench.log"

python3 - "$out/results.jsonl" <<'PY'
import json, sys

runs = {}
for line in open(sys.argv[1]):
    r = json.loads(line)
    runs[(r["name"], r["size"])] = r

def pct(r, key):
    return 100 * float(r[key]) / float(r["window_s"])

def mpix(r):
    try:
        return float(r["region_mpix_per_s"]) + float(r["outside_mpix_per_s"])
    except (KeyError, ValueError):
        return float("nan")

sizes = sorted({size for _, size in runs}, key=lambda s: int(s.split("x")[0]))
print(f"{'program':10} {'screen':>10} {'cpu%core':>9} {'rss_MiB':>8} {'xvfb%core':>10} "
      f"{'pulse%core':>11} {'Mpx/s_sent':>11} {'status':>7}")
for size in sizes:
    for name in ("quorvane", "probe"):
        r = runs.get((name, size))
        if r:
            print(f"{name:10} {size:>10} {pct(r, 'cpu_s'):9.2f} {r['rss_peak_mb']:8.1f} "
                  f"{pct(r, 'xvfb_cpu_s'):10.2f} {pct(r, 'pulse_cpu_s'):11.2f} {mpix(r):11.2f} "
                  f"{r['status']:>7}")

def ratio(a, b):
    return a / b if b else float("nan")

print()
for size in sizes:
    q, p = runs.get(("quorvane", size)), runs.get(("probe", size))
    if q and p:
        print(f"ratio quorvane/probe at {size}: cpu={ratio(q['cpu_s'], p['cpu_s']):.2f} "
              f"cpu+xvfb={ratio(q['cpu_s'] + q['xvfb_cpu_s'], p['cpu_s'] + p['xvfb_cpu_s']):.2f} "
              f"rss={ratio(q['rss_peak_mb'], p['rss_peak_mb']):.2f}")
if len(sizes) >= 2:
    small, large = sizes[0], sizes[-1]
    for name in ("quorvane", "probe"):
        a, b = runs.get((name, small)), runs.get((name, large))
        if a and b:
            print(f"ratio {large}/{small} for {name}: cpu={ratio(b['cpu_s'], a['cpu_s']):.2f} "
                  f"xvfb={ratio(b['xvfb_cpu_s'], a['xvfb_cpu_s']):.2f} "
                  f"rss={ratio(b['rss_peak_mb'], a['rss_peak_mb']):.2f}")
print("note: the probe also loops two sounds through PulseAudio; the scene at rest plays none")
PY
