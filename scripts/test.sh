#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the headless tests, then the end-to-end tests
# on a private X server and sound server, which this script starts and stops by PID.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_TESTS=ON -DQUORVANE_BENCH=ON >/dev/null
cmake --build build -j "$(nproc)"

# The end-to-end tests share one private X server and one sound server with a null sink.
source scripts/private_servers.sh
runtime_dir=$private_tmp
start_private_display 1920x1080 77
start_private_sound_server "$runtime_dir/pulse" quorvane_test
export PULSE_SERVER=$sound_server QUORVANE_TEST_SINK=quorvane_test
pactl set-default-sink quorvane_test

ctest --test-dir build --output-on-failure -j 2 "$@"

# The headless suite again under AddressSanitizer and UndefinedBehaviorSanitizer: any report,
# leaks at exit included, fails the run. The monkey gets a shorter run there. Built at -O1 with
# line tables only, which reports as well and builds in two thirds of the time.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Sanitize -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -g1" \
    -DQUORVANE_SANITIZE=ON -DQUORVANE_BENCH=OFF >/dev/null
cmake --build build-asan -j "$(nproc)" --target quorvane_tests wayland_protocol_test
export ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
QUORVANE_MONKEY_EVENTS=30000 build-asan/tests/quorvane_tests --gtest_brief=1
build-asan/tests/wayland_protocol_test --gtest_brief=1
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

# Loading a picture or a sound from arbitrary bytes, for a fixed number of runs from the corpus.
cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j "$(nproc)"
# A failing input is kept in build-fuzz/artifacts; a real case joins the corpus under a name that
# says what it is.
mkdir -p build-fuzz/artifacts
# A picture's run decodes, crops and converts, five times a sound's work: it gets half the runs.
for kind_runs in picture:1000000 sound:2000000; do
    kind=${kind_runs%:*}
    work=$(mktemp -d "$runtime_dir/fuzz-$kind.XXXXXX")
    build-fuzz/fuzz_$kind -runs=${kind_runs#*:} -max_len=8192 -malloc_limit_mb=256 -seed=1 \
        -artifact_prefix=build-fuzz/artifacts/$kind- \
        "$work" "tests/fuzz/corpus/$kind" 2>"$runtime_dir/fuzz-$kind.log" ||
        { tail -40 "$runtime_dir/fuzz-$kind.log"; exit 1; }
    echo "fuzz_$kind: $(grep -o 'Done [0-9]* runs.*' "$runtime_dir/fuzz-$kind.log")"
done
