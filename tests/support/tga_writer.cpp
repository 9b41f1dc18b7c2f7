#include "tga_writer.h"

#include <cstddef>
#include <utility>

static void put_short(std::string &b, std::size_t at, int v)
{
	b[at] = char(v & 0xff);
	b[at + 1] = char((v >> 8) & 0xff);
}

static int get_short(const std::string &b, std::size_t at)
{
	return (unsigned char)b[at] | (unsigned char)b[at + 1] << 8;
}

std::string tga_header(const TgaHeader &h)
{
	std::string b(tga_header_size, '\0');
	b[0] = char(h.id_length);
	b[1] = char(h.cmap);
	b[2] = char(h.type);
	put_short(b, 12, h.width);
	put_short(b, 14, h.height);
	b[16] = char(h.depth);
	b[17] = char(h.descriptor);
	return b;
}

TgaHeader tga_fields(const std::string &file)
{
	auto byte = [&](std::size_t at) { return int((unsigned char)file[at]); };
	return {byte(0),  byte(1), byte(2), get_short(file, 12), get_short(file, 14),
	        byte(16), byte(17)};
}

std::string tga_reorder(const std::string &pixels, int width, int height, int bytes_per_pixel,
                        int descriptor)
{
	std::string out(pixels.size(), '\0');
	auto offset = [&](int row, int column) {
		return (std::size_t(row) * width + column) * bytes_per_pixel;
	};
	for (int r = 0; r < height; r++) {
		int from_row = descriptor & tga_top_down ? height - 1 - r : r;
		for (int c = 0; c < width; c++) {
			int from_column = descriptor & tga_right_to_left ? width - 1 - c : c;
			std::size_t to = offset(r, c);
			out.replace(to, bytes_per_pixel, pixels, offset(from_row, from_column),
			            bytes_per_pixel);
			if (bytes_per_pixel >= 3)
				std::swap(out[to], out[to + 2]);
		}
	}
	return out;
}

std::string tga_file(const TgaHeader &h, const std::string &gl_pixels, const std::string &id)
{
	return tga_header(h) + id +
	       tga_reorder(gl_pixels, h.width, h.height, h.depth / 8, h.descriptor);
}

std::string tga_footer(const std::string &signature)
{
	return std::string(8, '\0') + signature + '\0';
}
