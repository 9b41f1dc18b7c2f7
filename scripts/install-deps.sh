#!/bin/sh
# Installs what building, running and testing the launcher need, from
# Debian's packages; does nothing when everything is there already.
set -eu

packages="g++ cmake make pkg-config binutils
libgtk2.0-dev libglade2-dev libgtkglext1-dev libgl-dev libglu1-mesa-dev
libgtest-dev libbenchmark-dev
xvfb xauth x11-utils libgl1-mesa-dri xdotool imagemagick netpbm
libx11-dev clang libclang-rt-14-dev desktop-file-utils appstream groff-base"

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
