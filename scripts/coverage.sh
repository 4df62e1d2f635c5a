#!/usr/bin/env bash
# Line and branch coverage of src/ over the normal test run: an instrumented build in
# build-coverage/, the tests, a summary here and an HTML report at
# build-coverage/coverage/index.html.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh gcovr

export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
dir=build-coverage
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORN_BENCH=OFF \
  "-DCMAKE_CXX_FLAGS=--coverage -fno-inline" "-DCMAKE_EXE_LINKER_FLAGS=--coverage" >/dev/null
cmake --build "$dir" -j "$(nproc)"
find "$dir" -name '*.gcda' -delete
# A failing test still leaves its coverage; the summary is what this script is for.
ctest --test-dir "$dir" -j "$(nproc)" --timeout 300 --output-on-failure || true
mkdir -p "$dir/coverage"
# Qt's generated files (moc, uic, rcc) are not ours to cover.
gcovr --root . --object-directory "$dir" --filter 'src/' --exclude '.*_autogen/.*' \
  --exclude-unreachable-branches --exclude-throw-branches \
  --print-summary --html-details "$dir/coverage/index.html" -j "$(nproc)" >"$dir/coverage/summary.txt"
cat "$dir/coverage/summary.txt"
echo "Report: $dir/coverage/index.html"
