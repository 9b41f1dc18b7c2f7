#!/bin/sh
# Writes the seed inputs of the fuzz targets into fuzz/corpus/. The TGA
# seeds come from the tests' own encoder, through the tga_seed program of a
# build tree with the tests:
#   fuzz/make-corpus.sh build/tests/tga_seed
# Files it does not name (inputs added by hand, such as crash reproducers)
# are left alone.
set -eu
[ $# -eq 1 ] || { echo "usage: $0 PATH/TO/tga_seed" >&2; exit 2; }
seed=$(realpath "$1")
cd "$(dirname "$0")"
mkdir -p corpus/tga

# tga NAME [FIELD=VALUE]...: see tga_seed.cpp for the fields.
tga() {
	name=$1
	shift
	"$seed" "corpus/tga/$name" "$@"
}

# Readable images: each depth, both image types, each origin corner.
tga rgb24-2x2.tga
tga rgba32-4x4-top-down.tga width=4 height=4 depth=32 descriptor=0x28
tga gray8-8x8-type3.tga width=8 height=8 depth=8 type=3
tga gray8-4x2-type2-top-down.tga width=4 depth=8 descriptor=0x20
tga rgb24-2x4-type3.tga height=4 type=3
tga rgb24-4x2-right-to-left.tga width=4 descriptor=0x10
tga rgba32-2x8-top-right.tga height=8 depth=32 descriptor=0x38
tga rgb24-2x2-image-id.tga id_length=5
tga rgb24-2x2-footer.tga footer=FOOTER.
# Refused ones: cut short, or a header field out of the subset.
tga header-cut.tga keep=10
tga rgb24-4x4-one-byte-short.tga width=4 height=4 pixels=47
tga rgba32-2x2-id-past-end.tga depth=32 id_length=200 id=0 pixels=0 zeros=20
tga rgb24-2048x2-header-only.tga width=2048 pixels=0 zeros=12
tga type10-rle.tga type=10
tga type1-colour-map.tga type=1 cmap=1 depth=8
tga type2-colour-map.tga cmap=1
tga size-3x2.tga width=3
tga size-2x0.tga height=0
tga size-1x2.tga width=1 depth=8
tga size-4096x2.tga width=4096 depth=8 pixels=0
tga depth16-2x2.tga depth=16

# Interface files: the project's, and those made with Glade 2 and Glade 3.
mkdir -p corpus/glade
cp ../data/gtktrovik.glade corpus/glade/gtktrovik.glade
cp ../tests/interface/data/glade2.glade ../tests/interface/data/glade3.glade corpus/glade/

exec python3 - <<'PY'
import os

def write(kind, name, data):
    d = os.path.join("corpus", kind)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)

# Names: byte 0 separates them, byte 1 picks the one to delete.
def names(sep, pick, items):
    return bytes([sep, pick]) + bytes([sep]).join(items)

write("names", "case-ties", names(10, 1, [b"beta", b"Alpha", b"alpha", b"Gamma"]))
write("names", "accents", names(10, 2, [b"Zo\xc3\xa9", b"zoz", b"Zoe"]))
write("names", "folding-classes", names(44, 0x81, [b"Bob", b"bob", b"BOB", b"b0b", b"_x", b"9", b"bOb"]))
write("names", "dots-and-separators",
      names(10, 0, [b".", b"..", b".hidden", b"a/b", b"a\\b", b"ok", b"..x", b"x.."]))
write("names", "lengths", names(10, 3, [b"n" * 49, b"N" * 50, b"n" * 48, b"", b"x"]))
write("names", "long-names", names(10, 1, [b"Z" * 70, b"z" * 70, b"a" * 65 + b"B", b"A" * 65 + b"b", b"m"]))
write("names", "nul-inside", names(10, 0, [b"a\0b", b"\0", b"ab"]))
write("names", "duplicates", names(10, 0, [b"anna", b"Anna", b"anna", b"ANNA", b"anna"]))
write("names", "high-bytes", names(0, 5, [b"\x80", b"\xff\xfe", b"\xc3\xa9t\xc3\xa9", b"Ete", b"ete"]))
write("names", "empty", bytes([10, 0]))
write("names", "spaces-and-shell", names(10, 4, [b"a b", b"$(x)", b"`x`", b"~", b"-rf", b"a;b", b"&"]))
write("names", "control-bytes",
      names(44, 1, [b"a\nb", b"\t", b"x\x7f", b"\x1f", b"\r\n", b"ok", b"\x80~", b".\n", b"n" * 50 + b"\t", b"a/\t"]))
PY
