#!/usr/bin/env bash
# What the scene costs when nobody can see it, beside what its sound alone should cost: the real
# program with the beach playing, on a private Xvfb and PulseAudio (peerbench's), for a measured
# minute each: seen; wholly covered by another window; unmapped, as minimising does (Xvfb has
# no DPMS to switch the monitor off, and the server's own blanking is held off while the scene
# is seen); beside
# peerbench's probe (the dome rectangle every 75 ms and two sounds) and probe-sound (the two
# sounds alone). Prints peerbench's table, then each run's CPU
# in % of one core and the ratios to probe-sound. Aim: unseen costs no more than the sound alone,
# within noise. RUNS repeats the whole set (default 1); give medians of several.
#   bench/unseen_cost.sh [BUILD_DIR] [SECONDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}") seconds=${2:-60} runs=${3:-1}
peerbench=${PEERBENCH:-/work/shared/tools/peerbench/peerbench.sh}
out=$(mktemp -d /tmp/quorvane-unseen-cost.XXXXXX)

# Started, the beach started by a click on the moon, then the screen made unseen as named.
scene() {
    printf '%s & p=$!; sleep 2; xdotool mousemove $((PEERBENCH_WIDTH - 415)) 179 click 1; %s wait $p' \
        "$build/quorvane" "$1"
}
covered='xlogo -geometry ${PEERBENCH_WIDTH}x${PEERBENCH_HEIGHT}+0+0 & sleep 1;'
unmapped='xdotool search --name "^Quorvane\$" windowunmap;'

peers=probe,probe-sound
args=()
for i in $(seq "$runs"); do
    [[ $i -eq 1 ]] || peers+=,probe,probe-sound
    args+=(--cmd "$(scene '')" --name seen
        --cmd "$(scene "$covered")" --name covered
        --cmd "$(scene "$unmapped")" --name unmapped)
done
echo "unseen_cost: ${runs} x ${seconds}s per peer; details in $out" >&2
"$peerbench" --peers "$peers" "${args[@]}" --duration "$seconds" --display 250 --out "$out" \
    >"$out/table.txt" 2>"$out/peerbench.log"
cat "$out/table.txt"

python3 - "$out/results.jsonl" <<'PY'
import json, statistics, sys
from collections import defaultdict

cpu = defaultdict(list)
for line in open(sys.argv[1]):
    r = json.loads(line)
    # Repeats are named NAME#2, NAME#3, ...
    cpu[r["name"].split("#")[0]].append(100 * float(r["cpu_s"]) / float(r["window_s"]))
sound = statistics.median(cpu["probe-sound"]) if cpu["probe-sound"] else float("nan")
print(f"\n{'peer':12} {'median cpu%core':>16} {'runs':>30} {'/probe-sound':>13}")
for name in ("seen", "covered", "unmapped", "probe", "probe-sound"):
    if cpu[name]:
        m = statistics.median(cpu[name])
        runs = " ".join(f"{c:.2f}" for c in cpu[name])
        print(f"{name:12} {m:16.2f} {runs:>30} {m / sound if sound else float('nan'):13.2f}")
PY
