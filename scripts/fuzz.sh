#!/bin/sh
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for
# the given number of seconds (60 by default), side by side, one process
# each. Inputs that add coverage collect in build-fuzz/fuzz/work/; a crash
# leaves its input in build-fuzz/fuzz/artifacts/ and fails the script.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build=build-fuzz
dir="$build/fuzz"
targets="tga_fuzz names_fuzz glade_fuzz"

CC=clang CXX=clang++ cmake -S . -B "$build" -DTROVIK_FUZZ=ON \
	-DTROVIK_TESTS=OFF -DTROVIK_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target $targets -j"$(nproc)"

pids=""
trap 'kill $pids 2>/dev/null; exit 130' INT TERM
for t in $targets; do
	mkdir -p "$dir/work/$t" "$dir/artifacts"
	"$dir/$t" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
		-artifact_prefix="$dir/artifacts/$t-" \
		"$dir/work/$t" "fuzz/corpus/${t%_fuzz}" >"$dir/$t.log" 2>&1 &
	pids="$pids $!"
done

status=0
set -- $pids
for t in $targets; do
	if ! wait "$1"; then
		status=1
		echo "$t FAILED; the end of $dir/$t.log:" >&2
		tail -n 40 "$dir/$t.log" >&2
	fi
	shift
	printf '%s:' "$t"
	sed -n 's/^stat::\(number_of_executed_units\|average_exec_per_sec\|new_units_added\|peak_rss_mb\): */ \1=/p' \
		"$dir/$t.log" | tr -d '\n'
	echo
done
exit $status
