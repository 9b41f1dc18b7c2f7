#!/bin/sh
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (or the directory given) and runs every test there, under a
# virtual X display when there is none. Extra arguments go to ctest. The
# toolkit is TROVIK_TOOLKIT's (gtk2 or gtk3) when set, else the one a build
# picks by itself.
set -eu
cd "$(dirname "$0")/.."
root="$(pwd)"
build="build-asan"
case "${1:-}" in
-*|"") ;;
*) build="$1"; shift ;;
esac

scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	-DTROVIK_WERROR=ON -DTROVIK_SANITIZE=ON -DTROVIK_BENCHMARKS=OFF \
	-DTROVIK_TOOLKIT="${TROVIK_TOOLKIT:-}"
cmake --build "$build" -j"$(nproc)"

# Leak reports must show who allocated through the toolkit, whose libraries
# have no frame pointers: hence the slow unwinder on every allocation. That
# unwinder deadlocks against llvmpipe, whose JIT registers its unwind tables
# at run time, so GL runs on softpipe, which compiles nothing.
ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:malloc_context_size=40"
ASAN_OPTIONS="$ASAN_OPTIONS:detect_stack_use_after_return=1"
ASAN_OPTIONS="$ASAN_OPTIONS:check_initialization_order=1:strict_init_order=1"
ASAN_OPTIONS="$ASAN_OPTIONS:halt_on_error=1:abort_on_error=0"
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
LIBGL_ALWAYS_SOFTWARE=1
GALLIUM_DRIVER=softpipe
# GLib's own allocator caches would hide blocks from the leak checker, and
# freed blocks that still hold pointers would hide leaks behind them.
G_SLICE=always-malloc
G_DEBUG=gc-friendly
export ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS LIBGL_ALWAYS_SOFTWARE GALLIUM_DRIVER G_SLICE G_DEBUG

scripts/with-display.sh ctest --test-dir "$build" --output-on-failure -j2 "$@"
