#!/bin/sh
# Makes the launcher's 48x48 icon, gtktrovik.png, from the banner texture:
# the worker beside a crate. The texture is stored bottom-up, which
# ImageMagick 6 does not turn upright by itself. No time stamp or other
# metadata goes into the PNG, so the same texture always gives the same bytes.
#
# Needs ImageMagick 6. Usage: make-icon.sh [output], default gtktrovik.png
# beside this script.
set -eu

convert=/usr/bin/convert
here=$(dirname "$0")
out=${1:-$here/gtktrovik.png}

"$convert" "$here/textures/image.tga" -flip -crop 72x72+344+122 +repage \
	-filter Triangle -resize 48x48 -strip \
	-define png:exclude-chunks=date,time "PNG24:$out"
