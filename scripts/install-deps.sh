#!/bin/sh
# Installs, from Debian's packages, what building and running the launcher
# need ("run"), or that and what its tests, benchmarks and fuzz targets need
# (the default, "all"); does nothing when everything is there already.
# The launcher is built on GTK+ 2, libglade 2 and GtkGLExt where the system
# offers all three (Debian 12), else on GTK 3 (Debian 13 and later); "all"
# installs GTK 3 as well where it installs GTK+ 2, since the tests then run
# on both builds.
set -eu

common="g++ cmake make pkg-config binutils libgl-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev"
gtk2="libgtk2.0-dev libglade2-dev libgtkglext1-dev"
gtk3="libgtk-3-dev"
tests="libgtest-dev libbenchmark-dev
xvfb xauth x11-utils xdotool imagemagick netpbm
clang libclang-rt-dev desktop-file-utils appstream groff-base libglib2.0-bin"

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi

installed() {
	dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q "ok installed"
}

offered() {
	apt-cache show --no-all-versions "$@" >/dev/null 2>&1
}

# Whether the system has the GTK+ 2 stack or offers it; a new machine's
# package lists may be empty, and are read first then.
gtk2_stack() {
	installed libglade2-dev && installed libgtkglext1-dev && return 0
	offered libglade2-dev libgtkglext1-dev && return 0
	$sudo apt-get update -qq
	updated=yes
	offered libglade2-dev libgtkglext1-dev
}

updated=no
case "${1:-all}" in
run)
	if gtk2_stack; then packages="$common $gtk2"; else packages="$common $gtk3"; fi ;;
all)
	if gtk2_stack; then packages="$common $gtk2 $gtk3"; else packages="$common $gtk3"; fi
	packages="$packages $tests" ;;
*) echo "usage: $0 [run|all]" >&2; exit 2 ;;
esac

missing=""
for p in $packages; do
	installed "$p" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "installing:$missing"
[ "$updated" = yes ] || $sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
