#!/usr/bin/env bash
# Sets up, builds and starts Quorvane full screen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF >/dev/null
cmake --build build --target quorvane -j "$(nproc)"
exec build/quorvane
