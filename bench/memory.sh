#!/usr/bin/env bash
# Resident memory of the running scene with the beach sounds playing, beside peerbench's
# "probe" (a minimal SDL program that holds the dome frames, a still and two decoded sound
# loops): each runs full screen on a private Xvfb and PulseAudio; the program's moon is clicked
# two seconds after its start, so the surf plays through the measured window (the second surf
# joins 50 s after the click: a minute's window sees both). Prints the peak resident memory of
# both, their ratio, and whether the program's sound reached the sink.
#   bench/memory.sh [BUILD_DIR] [SIZES] [SECONDS]
# FIRST_DISPLAY sets the first X display number tried (default 240), OUT the folder for the
# details (default: a new one under /tmp); PEERBENCH names the measuring tool (default: the
# team's shared copy); it may apt-get install what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}") sizes=${2:-1920x1080,3840x2160} seconds=${3:-60}
peerbench=${PEERBENCH:-/work/shared/tools/peerbench/peerbench.sh}
out=${OUT:-$(mktemp -d /tmp/quorvane-memory.XXXXXX)}
mkdir -p "$out"

# The moon sits 755 pixels into the dome frames, which end at the screen's right edge.
click='(sleep 2; xdotool mousemove $((PEERBENCH_WIDTH - 1170 + 755)) 179 click 1) &'
echo "memory: measuring for ${seconds}s per run at $sizes; details in $out" >&2
"$peerbench" --peers probe --cmd "$click exec $build/quorvane" --name quorvane \
    --size "$sizes" --duration "$seconds" --display "${FIRST_DISPLAY:-240}" \
    --media-dir "$out/media" --out "$out" >"$out/table.txt" 2>"$out/peerbench.log"

python3 - "$out/results.jsonl" <<'PY'
import json, sys

runs = {}
for line in open(sys.argv[1]):
    r = json.loads(line)
    runs[(r["name"], r["size"])] = r
sizes = sorted({size for _, size in runs}, key=lambda s: int(s.split("x")[0]))
print(f"{'screen':>10} {'quorvane_MiB':>13} {'probe_MiB':>10} {'ratio':>6} {'sound':>14}")
for size in sizes:
    q, p = runs.get(("quorvane", size)), runs.get(("probe", size))
    if q and p:
        sound = f"{q.get('audio_streams', '?')} stream {q.get('audio_rms_dbfs', '?')}"
        print(f"{size:>10} {q['rss_peak_mb']:13.1f} {p['rss_peak_mb']:10.1f} "
              f"{q['rss_peak_mb'] / p['rss_peak_mb']:6.2f} {sound:>14}")
PY
