#!/bin/sh
# Configures and builds everything into build/ (or the directory given).
set -eu
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTROVIK_WERROR=ON
cmake --build "$build" -j"$(nproc)"
