#!/bin/sh
# Installs what is missing, builds into build/ (or the directory given), and
# runs every benchmark, each figure beside what it is measured against.
# Needs a display for the banner and the whole program; a virtual one is
# started when there is none.
set -eu
cd "$(dirname "$0")/.."
build="${1:-build}"
scripts/install-deps.sh
scripts/build.sh "$build" >/dev/null

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo
echo "== profiles: listing and sorting 10,000 players, and counting 200 x 500 records,"
echo "   each beside a bare readdir walk of the same entries"
"$build"/bench/bench_profiles
echo
echo "== banner: one frame of the mosaic beside a bare clear-and-swap of the same"
echo "   area, and one load of the banner texture (Mesa's GL on this display)"
scripts/with-display.sh "$build"/bench/bench_banner
echo
echo "== the whole launcher beside bare GTK+ windows, each its own process:"
echo "   start-up to the mapped window and to the first GL frame, and frames per"
echo "   second of the banner beside a GL area of its size that only clears and swaps"
scripts/with-display.sh "$build"/bench/bench_launcher --benchmark_filter=-startup_ratio
echo
echo "== start-up, each its own process, in rounds that start both programs in"
echo "   turn; the ratios are the medians of the rounds' (listed on the right):"
echo "   the launcher over its own banner alone in a bare window of its size,"
echo "   over its own start with no players, with 1,000 players one of whom"
echo "   has 20,000 records, and with 10,000 players"
scripts/with-display.sh "$build"/bench/bench_launcher --benchmark_filter=startup_ratio
echo
if [ -x build-gtk3/gtktrovik ] && [ -x build/gtktrovik ] &&
	[ "$(readlink -f "$build")" != "$(readlink -f build-gtk3)" ]; then
	echo "== start-up of the GTK 3 launcher (build-gtk3/) over the GTK+ 2 one ($build/),"
	echo "   in rounds that start both in turn"
	cmake --build build-gtk3 --target bench_launcher >/dev/null
	TROVIK_OTHER_LAUNCHER="$(readlink -f "$build/gtktrovik")" scripts/with-display.sh \
		build-gtk3/bench/bench_launcher --benchmark_filter=launcher_over_other_build
	echo
fi
echo "== opening the player list of a freshly built main window, to the rows"
echo "   drawn (first), and again; beside the first opening of the two-item"
echo "   language list of the same window; a player made or removed on disk"
echo "   until the list shows it, and the rebuilds a burst of 1,000 causes"
scripts/with-display.sh "$build"/bench/bench_player_list
