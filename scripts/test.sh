#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the headless tests beside the end-to-end tests
# on a private X server and sound server, which this script starts and stops by PID; then the
# headless suite under the sanitizers, and the fuzzers. The sanitizer and fuzzer builds and the
# fuzzer runs go on beside the tests at the lowest priority: the end-to-end tests spend most of
# their time waiting on the program, and what they time and measure keeps the processors first.
# Prints how long it has taken after each part.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_TESTS=ON -DQUORVANE_BENCH=ON >/dev/null
cmake --build build -j "$(nproc)"
echo "test.sh: built after $SECONDS s"

source scripts/private_servers.sh
runtime_dir=$private_tmp

# Runs a command in the background as the job NAME, in a process group of its own, so that a run
# that ends early stops all of it; its output is kept in $runtime_dir/NAME.log.
declare -A background=()
stop_background() {
    local name
    for name in "${!background[@]}"; do
        kill -- "-${background[$name]}" 2>/dev/null || true
        wait "${background[$name]}" 2>/dev/null || true
    done
}
trap 'stop_background; stop_private_servers' EXIT
in_background() {
    local name=$1
    shift
    setsid -w "$@" >"$runtime_dir/$name.log" 2>&1 &
    background[$name]=$!
}
# Waits for a job; prints its output, or the end of it with the failure.
finish_background() {
    local name=$1 status=0
    wait "${background[$name]}" || status=$?
    unset "background[$name]"
    if ((status != 0)); then
        tail -60 "$runtime_dir/$name.log"
        echo "test.sh: $name failed (status $status)" >&2
        exit 1
    fi
    grep -v '^\[ *[0-9]*%\]\|^gmake' "$runtime_dir/$name.log" || true
    echo "test.sh: $name done after $SECONDS s"
}

# The headless suite again under AddressSanitizer and UndefinedBehaviorSanitizer, built at -O1
# with line tables only, which reports as well and builds in two thirds of the time.
in_background sanitizer-build nice -n 19 bash -c '
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Sanitize -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -g1" \
        -DQUORVANE_SANITIZE=ON -DQUORVANE_BENCH=OFF >/dev/null &&
    cmake --build build-asan -j "$(nproc)" --target quorvane_tests wayland_protocol_test'
# Loading a picture or a sound from arbitrary bytes, for a fixed number of runs from the corpus.
in_background fuzzers nice -n 19 scripts/fuzz.sh

# The end-to-end tests share one private X server and one sound server with a null sink.
start_private_display 1920x1080 77
start_private_sound_server "$runtime_dir/pulse" quorvane_test
export PULSE_SERVER=$sound_server QUORVANE_TEST_SINK=quorvane_test
pactl set-default-sink quorvane_test

ctest --test-dir build --output-on-failure -j 2 "$@"
echo "test.sh: tests done after $SECONDS s"

# Any sanitizer report, leaks at exit included, fails the run. The monkey gets a shorter run
# there. The suite runs in two halves side by side, as ctest runs it.
finish_background sanitizer-build
export ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for shard in 0 1; do
    QUORVANE_MONKEY_EVENTS=30000 GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$shard \
        in_background "sanitized-$shard" build-asan/tests/quorvane_tests --gtest_brief=1
done
in_background sanitized-wayland build-asan/tests/wayland_protocol_test --gtest_brief=1
for name in sanitized-0 sanitized-1 sanitized-wayland; do
    finish_background "$name"
done
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

finish_background fuzzers
