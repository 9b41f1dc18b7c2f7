#!/bin/sh
# Installs what is missing, builds, and runs every benchmark, each figure
# beside what it is measured against. Needs a display for the banner and the
# whole program; a virtual one is started when there is none.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build >/dev/null

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo
echo "== profiles: listing and sorting 10,000 players, and counting 200 x 500 records,"
echo "   each beside a bare readdir walk of the same entries"
build/bench/bench_profiles
echo
echo "== banner: one frame of the mosaic beside a bare clear-and-swap of the same"
echo "   area, and one load of the banner texture (Mesa's GL on this display)"
scripts/with-display.sh build/bench/bench_banner
echo
echo "== the whole launcher beside bare GTK+ windows, each its own process:"
echo "   start-up to the mapped window and to the first GL frame, and frames per"
echo "   second of the banner beside a GL area of its size that only clears and swaps"
scripts/with-display.sh build/bench/bench_launcher
