#!/bin/sh
# Installs, from Debian's packages, what building and running the launcher
# need ("run"), or that and what its tests, benchmarks and fuzz targets need
# (the default, "all"); does nothing when everything is there already.
set -eu

run="g++ cmake make pkg-config binutils
libgtk2.0-dev libglade2-dev libgtkglext1-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri"
tests="libgtest-dev libbenchmark-dev
xvfb xauth x11-utils xdotool imagemagick netpbm
libx11-dev clang libclang-rt-14-dev desktop-file-utils appstream groff-base libglib2.0-bin"

case "${1:-all}" in
run) packages=$run ;;
all) packages="$run $tests" ;;
*) echo "usage: $0 [run|all]" >&2; exit 2 ;;
esac

missing=""
for p in $packages; do
	dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "ok installed" ||
		missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "installing:$missing"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
