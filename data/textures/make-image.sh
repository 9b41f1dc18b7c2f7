#!/bin/sh
# Draws the launcher's banner texture, textures/image.tga: a warehouse with
# crates to push onto goal squares. The picture is 512x256, 24-bit,
# uncompressed and stored bottom-up, the orientation that any TGA reader
# takes upright. The red crate low on the left and the lamp high on the right
# make a flipped or mirrored texture obvious on screen; both lie inside the
# part of the picture that the banner shows (roughly x 54 to 458).
#
# Needs ImageMagick 6 and netpbm. Usage: make-image.sh [output], default image.tga
# beside this script.
set -eu

convert=/usr/bin/convert
out=${1:-$(dirname "$0")/image.tga}

# Back wall: rows of bricks, each other row shifted by half a brick.
wall=""
y=0
row=0
while [ $y -lt 96 ]; do
	shift=$(( (row % 2) * 16 ))
	x=$(( -shift ))
	while [ $x -lt 512 ]; do
		wall="$wall rectangle $((x + 1)),$((y + 1)) $((x + 30)),$((y + 14))"
		x=$((x + 32))
	done
	y=$((y + 16))
	row=$((row + 1))
done

# Floor: square flags with dark joints.
floor=""
for x in $(seq 0 32 480); do
	for y in $(seq 96 32 224); do
		floor="$floor rectangle $((x + 1)),$((y + 1)) $((x + 30)),$((y + 30))"
	done
done

# A crate of 30x30 at x,y: planks, frame and a diagonal brace.
crate() {
	printf ' fill %s stroke #3a220c rectangle %d,%d %d,%d' "$3" "$1" "$2" $(($1 + 29)) $(($2 + 29))
	printf ' fill none stroke #5c3812 rectangle %d,%d %d,%d' $(($1 + 4)) $(($2 + 4)) $(($1 + 25)) $(($2 + 25))
	printf ' line %d,%d %d,%d' $(($1 + 4)) $(($2 + 25)) $(($1 + 25)) $(($2 + 4))
	printf ' line %d,%d %d,%d' $(($1 + 4)) $(($2 + 14)) $(($1 + 25)) $(($2 + 14))
}

# A goal square: a dashed green frame on a flag.
goal() {
	printf ' fill none stroke #3ec24a stroke-dasharray 4 3 rectangle %d,%d %d,%d stroke-dasharray none' \
		$(($1 + 5)) $(($2 + 5)) $(($1 + 24)) $(($2 + 24))
}

crates="$(crate 66 224 '#c8321e')$(crate 66 192 '#b07a3a')$(crate 98 224 '#b07a3a')"
crates="$crates$(crate 162 160 '#b07a3a')$(crate 226 128 '#b07a3a')$(crate 290 160 '#b07a3a')"
crates="$crates$(crate 194 192 '#6fa83a')$(crate 354 160 '#b07a3a')"
goals="$(goal 258 160)$(goal 322 192)$(goal 194 192)$(goal 418 224)"

# The worker: round head, blue overalls, arms stretched towards a crate.
worker="fill #f0c090 stroke #402010 circle 398,136 398,128"
worker="$worker fill #2c5cc0 rectangle 390,144 406,170"
worker="$worker stroke #f0c090 stroke-width 4 line 390,152 384,152 stroke-width 1"
worker="$worker stroke #402010 fill #402010 rectangle 391,171 396,184 rectangle 400,171 405,184"

# Lamp at the top right, with a cone of light on the wall.
lamp="fill #fff3b0 stroke none polygon 416,20 380,96 452,96"
lamp="$lamp fill #303030 rectangle 412,0 420,14 fill #ffe060 circle 416,20 416,13"

# Hazard stripe between wall and floor.
stripe="fill #e8c020 stroke none rectangle 0,90 511,95 fill #202020"
for x in $(seq 0 16 496); do
	stripe="$stripe polygon $x,95 $((x + 6)),90 $((x + 12)),90 $((x + 6)),95"
done

# ImageMagick 6 writes TGA rows top-down under a header that says bottom-up,
# so it only paints; netpbm, reading from standard input so that no file
# name lands in the image-ID field, writes the TGA.
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
"$convert" -size 512x256 xc:'#20242c' \
	-fill '#5a3a34' -stroke none -draw "$wall" \
	-fill '#3c3f44' -draw "rectangle 0,96 511,255" \
	-fill '#6e6a62' -draw "$floor" \
	-draw "$stripe" \
	-draw "$lamp" \
	-draw "$goals" \
	-draw "$crates" \
	-draw "$worker" \
	-depth 8 "ppm:$tmp"
pamtotga -norle -rgb < "$tmp" > "$out"
