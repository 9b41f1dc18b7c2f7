#include "banner/tga.h"

#include "base/regular_file.h"
#include "base/stdio_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <new>

// Seen by nothing outside this file: a program that reads images may have
// types of the same names for its own ends (the tests' TgaHeader is one).
namespace {

struct TgaHeader {
	int idLength;
	int colorMapType;
	int imageType;
	int width;
	int height;
	int depth;
	int descriptor;
};

enum {
	HEADER_SIZE = 18,
	MAX_SIDE = 2048,
	MAX_PIXELS = MAX_SIDE * MAX_SIDE,
	TOP_TO_BOTTOM = 0x20,
	RIGHT_TO_LEFT = 0x10,
};

TgaHeader parseHeader(const unsigned char *b)
{
	TgaHeader h;
	h.idLength = b[0];
	h.colorMapType = b[1];
	h.imageType = b[2];
	h.width = b[12] | b[13] << 8;
	h.height = b[14] | b[15] << 8;
	h.depth = b[16];
	h.descriptor = b[17];
	return h;
}

int checkSize(int value)
{
	return value >= 2 && value <= MAX_SIDE && (value & (value - 1)) == 0;
}

// The order of the tests decides which error a file with several faults gets.
int checkHeader(const TgaHeader &h)
{
	if (h.colorMapType != 0 || (h.imageType != 2 && h.imageType != 3))
		return TGA_ERR_TYPE;
	if (!checkSize(h.width) || !checkSize(h.height))
		return TGA_ERR_SIZE;
	if (h.depth != 32 && h.depth != 24 && h.depth != 8)
		return TGA_ERR_DEPTH;
	return 0;
}

bool skipId(std::FILE *f, int length)
{
	std::array<unsigned char, 255> id;
	return std::fread(id.data(), 1, length, f) == size_t(length);
}

// A file that says it is large but is not gets no buffer of the size it
// claims. Streams that cannot tell their size are left to the read.
bool holdsAtLeast(std::FILE *f, size_t bytes)
{
	long here = std::ftell(f);
	if (here < 0 || std::fseek(f, 0, SEEK_END) != 0)
		return true;
	long end = std::ftell(f);
	std::fseek(f, here, SEEK_SET);
	return end < 0 || size_t(end - here) >= bytes;
}

// One read of the whole block; an empty result is the only failure.
std::vector<unsigned char> readBlock(std::FILE *f, int count, int bytesPerPixel)
{
	if (count <= 0 || count > MAX_PIXELS)
		return {};
	size_t n = size_t(count) * bytesPerPixel;
	std::vector<unsigned char> buf;
	try {
		buf.resize(n);
	} catch (const std::bad_alloc &) {
		return {};
	}
	if (std::fread(buf.data(), 1, n, f) != n)
		return {};
	return buf;
}

void swapRedBlue(std::vector<unsigned char> &buf, size_t bytesPerPixel)
{
	for (size_t o = 0; o < buf.size(); o += bytesPerPixel)
		std::swap(buf[o], buf[o + 2]);
}

void flipRows(std::vector<unsigned char> &buf, size_t rowBytes, int height)
{
	for (int top = 0, bottom = height - 1; top < bottom; top++, bottom--)
		std::swap_ranges(buf.begin() + top * rowBytes, buf.begin() + (top + 1) * rowBytes,
		                 buf.begin() + bottom * rowBytes);
}

void mirrorRows(std::vector<unsigned char> &buf, int width, int height, size_t bytesPerPixel)
{
	for (int y = 0; y < height; y++) {
		auto row = buf.begin() + y * width * bytesPerPixel;
		for (int left = 0, right = width - 1; left < right; left++, right--)
			std::swap_ranges(row + left * bytesPerPixel,
			                 row + (left + 1) * bytesPerPixel,
			                 row + right * bytesPerPixel);
	}
}

// OpenGL wants the bottom row first and each row from its left end.
void orient(TgaImage &img, size_t bytesPerPixel, int descriptor)
{
	if (descriptor & TOP_TO_BOTTOM)
		flipRows(img.pixels, img.width * bytesPerPixel, img.height);
	if (descriptor & RIGHT_TO_LEFT)
		mirrorRows(img.pixels, img.width, img.height, bytesPerPixel);
}

PixelFormat formatOf(int depth)
{
	switch (depth) {
	case 32:
		return PixelFormat::rgba;
	case 24:
		return PixelFormat::rgb;
	default:
		return PixelFormat::gray;
	}
}

// Reads `count` pixels of `depth` bits, red first; an empty buffer means
// failure (short read, no memory, a count out of range or an unknown
// depth). Colour pixels are stored blue first; OpenGL wants red first.
std::vector<unsigned char> getData(std::FILE *f, int count, int depth)
{
	if (depth != 32 && depth != 24 && depth != 8)
		return {};
	std::vector<unsigned char> buf = readBlock(f, count, depth / 8);
	if (depth != 8)
		swapRedBlue(buf, depth / 8);
	return buf;
}

} // namespace

int readTGA(std::FILE *f, TgaImage &out)
{
	unsigned char raw[HEADER_SIZE];
	if (std::fread(raw, 1, HEADER_SIZE, f) != HEADER_SIZE)
		return TGA_ERR_HEADER;
	TgaHeader h = parseHeader(raw);
	if (int err = checkHeader(h))
		return err;
	if (!skipId(f, h.idLength))
		return TGA_ERR_DATA;
	// Both sides are at most 2048 here, so the product fits an int.
	if (!holdsAtLeast(f, size_t(h.width) * h.height * (h.depth / 8)))
		return TGA_ERR_DATA;
	TgaImage img;
	img.pixels = getData(f, h.width * h.height, h.depth);
	if (img.pixels.empty())
		return TGA_ERR_DATA;
	img.width = h.width;
	img.height = h.height;
	img.format = formatOf(h.depth);
	orient(img, h.depth / 8, h.descriptor);
	out = std::move(img);
	return TGA_OK;
}

// A FIFO, a device or a directory is refused before anything is read, and
// nothing waits to find out.
int loadTGA(const char *path, TgaImage &out, int *open_error)
{
	RegularFile file = open_regular_file(path);
	StdioFile f(file.fd ? fdopen(file.fd.get(), "rb") : nullptr);
	if (!f) {
		if (open_error)
			*open_error = file.fd ? errno : file.error;
		return TGA_ERR_OPEN;
	}
	file.fd.release();
	return readTGA(f.get(), out);
}
