#!/bin/sh
# Each window of FILE as libglade builds it on GTK+ 2 and as GtkBuilder
# builds the converted XML on GTK 3, described alike; the two must agree.
#   compare_dumps.sh DUMP_LIBGLADE DUMP_GTK3 FILE
set -eu
[ $# -eq 3 ] || { echo "usage: $0 DUMP_LIBGLADE DUMP_GTK3 FILE" >&2; exit 2; }
# The dumpers build and keep whatever the toolkits build, libglade's strays
# included; the conversion's own leaks are test_interface's to find.
ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0"
export ASAN_OPTIONS
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
"$1" "$3" >"$work/libglade" 2>"$work/libglade.err"
"$2" "$3" >"$work/gtk3" 2>"$work/gtk3.err"
cat "$work/libglade.err" "$work/gtk3.err" >&2
# Nothing may be missing from either description.
[ -s "$work/libglade" ] || { echo "libglade built nothing" >&2; exit 1; }
diff -u "$work/libglade" "$work/gtk3"
