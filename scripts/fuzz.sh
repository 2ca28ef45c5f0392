#!/usr/bin/env bash
# Builds the fuzzers for loading a picture and a sound from arbitrary bytes (clang, libFuzzer) in
# build-fuzz and runs each for a fixed number of runs from its corpus, seeded, so that a run is
# repeatable. A failing input is kept in build-fuzz/artifacts; a real case joins the corpus under a
# name that says what it is.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j "$(nproc)"
mkdir -p build-fuzz/artifacts
scratch=$(mktemp -d /tmp/quorvane-fuzz.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
# A picture's run decodes, crops and converts, five times a sound's work: it gets half the runs.
for kind_runs in picture:1000000 sound:2000000; do
    kind=${kind_runs%:*}
    mkdir "$scratch/$kind"
    build-fuzz/fuzz_$kind -runs=${kind_runs#*:} -max_len=8192 -malloc_limit_mb=256 -seed=1 \
        -artifact_prefix=build-fuzz/artifacts/$kind- \
        "$scratch/$kind" "tests/fuzz/corpus/$kind" 2>"$scratch/$kind.log" ||
        { tail -40 "$scratch/$kind.log"; exit 1; }
    echo "fuzz_$kind: $(grep -o 'Done [0-9]* runs.*' "$scratch/$kind.log")"
done
