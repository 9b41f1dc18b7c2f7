#!/bin/sh
# Instructions the launcher runs from its start to the main loop or to its
# first frame, counted by callgrind in a game directory of PLAYERS players
# (with RECORDS records for the first, "champion", as the start-up benchmark
# lays them out): a measure that the load of a shared machine leaves alone.
#   bench/callgrind_startup.sh BUILD-DIR PLAYERS RECORDS main_loop|first_frame [VALGRIND-ARGS...]
# Needs a display (scripts/with-display.sh).
set -eu
build="$(cd "$1" && pwd)"
players="$2"
records="$3"
point="$4"
shift 4
stopper="$build/bench/libstop_at.so"
[ -e "$stopper" ] || { echo "build the stop_at target first" >&2; exit 1; }
src="$(cd "$(dirname "$0")/.." && pwd)"
dir="${TMPDIR:-/tmp}/trovik-callgrind-$players-players-$records-records"
if [ ! -e "$dir/profils-built" ]; then
	rm -rf "$dir"
	mkdir -p "$dir/profils"
	first=0
	if [ "$records" -gt 0 ]; then
		first=1
		r=0
		while [ "$r" -lt "$records" ]; do
			mkdir -p "$dir/profils/champion/pack$((r / 500))"
			: >"$dir/profils/champion/pack$((r / 500))/record$((r % 500))"
			r=$((r + 1))
		done
	fi
	i="$first"
	while [ "$i" -lt "$players" ]; do
		mkdir "$dir/profils/$(printf 'joueur%05d' "$i")"
		i=$((i + 1))
	done
	: >"$dir/profils-built"
fi
mkdir -p "$dir/textures"
cp "$src/data/gtktrovik.glade" "$dir/"
cp "$src/data/textures/image.tga" "$dir/textures/"
cp "$src/data/icons/64x64/gtktrovik.png" "$dir/"
cd "$dir"
# The counts are written to callgrind.out.POINT there, for callgrind_annotate.
STOP_AT="$point" LD_PRELOAD="$stopper" exec valgrind --tool=callgrind \
	--callgrind-out-file="$dir/callgrind.out.$point" "$@" "$build/gtktrovik"
