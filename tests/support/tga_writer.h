// Uncompressed TGA files written from their fields, as the banner's reader
// must take or refuse them. Nothing but the C++ library: the tests, the fuzz
// target and the tool that writes the fuzz seeds all share this one.
#pragma once

#include <string>

struct TgaHeader {
	int id_length = 0, cmap = 0, type = 2, width = 2, height = 2, depth = 24, descriptor = 0;
};

enum : int { tga_header_size = 18, tga_right_to_left = 0x10, tga_top_down = 0x20 };

// The 18 bytes of `h`; the colour map and origin fields are zero.
std::string tga_header(const TgaHeader &h);
// The fields of the first 18 bytes of `file`, which must hold them.
TgaHeader tga_fields(const std::string &file);

// Pixels between a file's order, as its descriptor gives it, and OpenGL's:
// bottom row first, each row from the left, red before blue. Both changes
// undo themselves, so the one function goes either way.
std::string tga_reorder(const std::string &pixels, int width, int height, int bytes_per_pixel,
                        int descriptor);

// A whole file: header, image id, and `gl_pixels` stored in the file's order.
std::string tga_file(const TgaHeader &h, const std::string &gl_pixels, const std::string &id = {});

// What the format's second version puts after everything else: two zero
// offsets and a signature, ended by a NUL.
std::string tga_footer(const std::string &signature = "TRUEVISION-XFILE.");
