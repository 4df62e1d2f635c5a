#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test three ways: the normal
# build, the QtCore-only libraries on their own, and an ASan+UBSan build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

jobs=$(nproc)
# Repeated runs (and clean clones in other folders) reuse compiled objects.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
run_suite() {
    local dir=$1; shift
    echo "=== $dir: configure and build"
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    echo "=== $dir: tests"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build-core -DVORN_CORE_ONLY=ON -DVORN_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
run_suite build-asan -DVORN_SANITIZE=ON -DVORN_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
echo "All test suites passed."
