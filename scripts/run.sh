#!/bin/sh
# Installs what is missing, builds, and starts the launcher in its ready
# working directory build/game (an existing profils/ there is kept).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
cd build/game
exec ./gtktrovik
