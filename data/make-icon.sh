#!/bin/sh
# Makes the launcher's icons, ICONS/NxN/gtktrovik.png at 48, 64, 128 and 256
# pixels, from the banner texture: the worker beside a crate, cut out of the
# floor, whose flags and joints become transparent. The cut-out is 64x64, so
# the larger sizes double its pixels and stay sharp; the smallest is scaled
# down smoothly. The texture is stored bottom-up, which ImageMagick 6 does
# not turn upright by itself. No time stamp or other metadata goes into the
# PNGs, so the same texture always gives the same bytes.
#
# Needs ImageMagick 6. Usage: make-icon.sh [ICONS], default icons/ beside
# this script.
set -eu

convert=/usr/bin/convert
here=$(dirname "$0")
out=${1:-$here/icons}

tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
# The fuzz takes in the blended pixels where flags meet joints, and stays
# clear of the crate's and the worker's dark outlines.
"$convert" "$here/textures/image.tga" -flip -crop 64x64+348+127 +repage \
	-fuzz 12% -transparent '#6e6a62' -transparent '#3c3f44' "PNG32:$tmp"

write() { # SIZE RESIZING...
	size=$1
	shift
	mkdir -p "$out/${size}x$size"
	"$convert" "$tmp" "$@" -strip -define png:exclude-chunks=date,time \
		"PNG32:$out/${size}x$size/gtktrovik.png"
}
write 48 -filter Triangle -resize 48x48
write 64
write 128 -scale 128x128
write 256 -scale 256x256
