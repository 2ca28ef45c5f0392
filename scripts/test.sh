#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the headless tests, then the end-to-end tests
# on a private X server and sound server, which this script starts and stops by PID.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_TESTS=ON -DQUORVANE_BENCH=ON >/dev/null
cmake --build build -j "$(nproc)"

runtime_dir=$(mktemp -d /tmp/quorvane-test.XXXXXX)
xvfb_pid="" pulse_pid=""
cleanup() {
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    [[ -n $pulse_pid ]] && kill "$pulse_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$runtime_dir"
}
trap cleanup EXIT

# A free display number.
display=77
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >"$runtime_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"

export XDG_RUNTIME_DIR="$runtime_dir"
export PULSE_RUNTIME_PATH="$runtime_dir/pulse"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=true \
    --load="module-null-sink sink_name=quorvane_test" \
    --load="module-native-protocol-unix socket=$runtime_dir/pulse.socket auth-anonymous=1" \
    >"$runtime_dir/pulse.log" 2>&1 &
pulse_pid=$!
export PULSE_SERVER="unix:$runtime_dir/pulse.socket"
export QUORVANE_TEST_SINK=quorvane_test

for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl set-default-sink quorvane_test >/dev/null 2>&1 || true

ctest --test-dir build --output-on-failure -j 2 "$@"

# The headless suite again under AddressSanitizer and UndefinedBehaviorSanitizer: any report,
# leaks at exit included, fails the run. The monkey gets a shorter run there.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_SANITIZE=ON \
    -DQUORVANE_BENCH=OFF >/dev/null
cmake --build build-asan -j "$(nproc)" --target quorvane_tests
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    QUORVANE_MONKEY_EVENTS=30000 build-asan/tests/quorvane_tests --gtest_brief=1

# Loading a picture or a sound from arbitrary bytes, for a fixed number of runs from the corpus.
cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j "$(nproc)"
for kind in picture sound; do
    work=$(mktemp -d "$runtime_dir/fuzz-$kind.XXXXXX")
    build-fuzz/fuzz_$kind -runs=300000 -max_len=8192 -malloc_limit_mb=256 -seed=1 \
        "$work" "tests/fuzz/corpus/$kind" 2>"$runtime_dir/fuzz-$kind.log" ||
        { tail -40 "$runtime_dir/fuzz-$kind.log"; exit 1; }
    echo "fuzz_$kind: $(grep -o 'Done [0-9]* runs.*' "$runtime_dir/fuzz-$kind.log")"
done
