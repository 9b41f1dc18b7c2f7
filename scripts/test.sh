#!/bin/sh
# Installs what is missing, builds, and runs every test, under a virtual X
# display when there is none; then builds and runs them all again with the
# address and undefined-behaviour sanitizers (scripts/test-sanitized.sh).
# Where the system has GTK+ 2 with libglade and GtkGLExt (Debian 12), the
# launcher is built on it in build/ and on GTK 3 in build-gtk3/, and the
# whole suite runs on each; elsewhere build/ is the GTK 3 build. Last, the
# fuzz targets run for a short while. Extra arguments go to every ctest run.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

toolkit_of() {
	sed -n 's/^TROVIK_TOOLKIT_USED:INTERNAL=//p' "$1/CMakeCache.txt"
}

scripts/build.sh build -DTROVIK_TESTS=ON -DTROVIK_BENCHMARKS=ON
scripts/with-display.sh ctest --test-dir build --output-on-failure -j2 "$@"
scripts/test-sanitized.sh build-asan "$@"
if [ "$(toolkit_of build)" = gtk2 ]; then
	scripts/build.sh build-gtk3 -DTROVIK_TOOLKIT=gtk3 -DTROVIK_TESTS=ON -DTROVIK_BENCHMARKS=ON
	scripts/with-display.sh ctest --test-dir build-gtk3 --output-on-failure -j2 "$@"
	TROVIK_TOOLKIT=gtk3 scripts/test-sanitized.sh build-asan-gtk3 "$@"
fi
# The fuzz targets replay their seed corpora, then fuzz briefly.
scripts/fuzz.sh 20
