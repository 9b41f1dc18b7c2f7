#!/bin/sh
# Installs what is missing, builds, and runs every test, under a virtual X
# display when there is none; then builds and runs them all again with the
# address and undefined-behaviour sanitizers (scripts/test-sanitized.sh),
# and runs the fuzz targets for a short while.
# Extra arguments go to both ctest runs.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DTROVIK_TESTS=ON -DTROVIK_BENCHMARKS=ON
scripts/with-display.sh ctest --test-dir build --output-on-failure -j2 "$@"
scripts/test-sanitized.sh build-asan "$@"
# The fuzz targets replay their seed corpora, then fuzz briefly.
scripts/fuzz.sh 20
