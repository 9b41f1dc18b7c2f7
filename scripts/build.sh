#!/bin/sh
# Configures and builds everything into build/ (or the directory given);
# further arguments go to cmake's configure step.
set -eu
cd "$(dirname "$0")/.."
build="${1:-build}"
[ $# -gt 0 ] && shift
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTROVIK_WERROR=ON "$@"
cmake --build "$build" -j"$(nproc)"
