#!/bin/sh
# Installs what is missing, builds, and runs every test, under a virtual X
# display when there is none.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
scripts/with-display.sh ctest --test-dir build --output-on-failure -j2 "$@"
