#!/bin/sh
# Writes the seed inputs of the fuzz targets into fuzz/corpus/. Files it does
# not name (inputs added by hand, such as crash reproducers) are left alone.
set -eu
cd "$(dirname "$0")"
exec python3 - <<'PY'
import os
import struct

def write(kind, name, data):
    d = os.path.join("corpus", kind)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)

def header(w, h, depth, type_=2, cmap=0, id_len=0, descriptor=0):
    return (bytes([id_len, cmap, type_]) + bytes(5) + struct.pack("<HHHH", 0, 0, w, h)
            + bytes([depth, descriptor]))

def pixels(w, h, depth):
    n = w * h * depth // 8
    return bytes((i * 37 + 11) & 0xFF for i in range(n))

def tga(w, h, depth, **kw):
    id_len = kw.get("id_len", 0)
    ident = bytes(range(0x41, 0x41 + id_len))
    return header(w, h, depth, **kw) + ident + pixels(w, h, depth)

# Readable images: each depth, both image types, each origin corner.
write("tga", "rgb24-2x2.tga", tga(2, 2, 24))
write("tga", "rgba32-4x4-top-down.tga", tga(4, 4, 32, descriptor=0x28))
write("tga", "gray8-8x8-type3.tga", tga(8, 8, 8, type_=3))
write("tga", "gray8-4x2-type2-top-down.tga", tga(4, 2, 8, descriptor=0x20))
write("tga", "rgb24-2x4-type3.tga", tga(2, 4, 24, type_=3))
write("tga", "rgb24-4x2-right-to-left.tga", tga(4, 2, 24, descriptor=0x10))
write("tga", "rgba32-2x8-top-right.tga", tga(2, 8, 32, descriptor=0x38))
write("tga", "rgb24-2x2-image-id.tga", tga(2, 2, 24, id_len=5))
write("tga", "rgb24-2x2-footer.tga", tga(2, 2, 24) + bytes(8) + b"FOOTER.\0")
# Refused ones: cut short, or a header field out of the subset.
write("tga", "header-cut.tga", header(2, 2, 24)[:10])
write("tga", "rgb24-4x4-one-byte-short.tga", tga(4, 4, 24)[:-1])
write("tga", "rgba32-2x2-id-past-end.tga", header(2, 2, 32, id_len=200) + bytes(20))
write("tga", "rgb24-2048x2-header-only.tga", header(2048, 2, 24) + bytes(12))
write("tga", "type10-rle.tga", header(2, 2, 24, type_=10) + pixels(2, 2, 24))
write("tga", "type1-colour-map.tga", header(2, 2, 8, type_=1, cmap=1) + pixels(2, 2, 8))
write("tga", "type2-colour-map.tga", header(2, 2, 24, cmap=1) + pixels(2, 2, 24))
write("tga", "size-3x2.tga", header(3, 2, 24) + pixels(3, 2, 24))
write("tga", "size-2x0.tga", header(2, 0, 24))
write("tga", "size-1x2.tga", header(1, 2, 8) + pixels(1, 2, 8))
write("tga", "size-4096x2.tga", header(4096, 2, 8))
write("tga", "depth16-2x2.tga", header(2, 2, 16) + pixels(2, 2, 16))

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
PY
