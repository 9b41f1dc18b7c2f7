#!/bin/sh
# Installs what building and running need, builds, and starts the launcher
# in its ready working directory build/game (an existing profils/ there is
# kept). A new build directory leaves out the tests and benchmarks, and so
# their packages; one that scripts/test.sh made keeps them.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
if [ -f build/CMakeCache.txt ]; then
	scripts/build.sh build
else
	scripts/build.sh build -DTROVIK_TESTS=OFF -DTROVIK_BENCHMARKS=OFF
fi
cd build/game
exec ./gtktrovik
