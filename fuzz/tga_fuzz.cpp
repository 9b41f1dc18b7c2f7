// Arbitrary bytes through the TGA reading path. Every result is compared
// with a decoder written here from the file layout, with the fields and the
// pixel order of the tests' encoder, so a reader that returns the wrong
// pixels fails as surely as one that crashes.
#include "banner/tga.h"
#include "base/stdio_file.h"
#include "tga_writer.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#define CHECK(cond) ((cond) ? (void)0 : fail(#cond, __LINE__))

using Bytes = std::vector<unsigned char>;

struct Depth {
	int bits;
	int bytes;
	PixelFormat format;
};

struct Expected {
	int code = 0;
	int width = 0;
	int height = 0;
	PixelFormat format = PixelFormat::rgb;
	Bytes pixels;
	long end = 0;
};

// No format the reader sets, so a stray write shows.
static const PixelFormat untouched = PixelFormat(0x7f);

static const Depth depths[] = {
        {32, 4, PixelFormat::rgba},
        {24, 3, PixelFormat::rgb},
        {8, 1, PixelFormat::gray},
};

[[noreturn]] static void fail(const char *what, int line)
{
	std::fprintf(stderr, "tga_fuzz.cpp:%d: invariant broken: %s\n", line, what);
	std::abort();
}

// The stream reads a copy, so ASan sees any read past the input's end.
struct Stream {
	Bytes data;
	StdioFile file;

	explicit Stream(Bytes bytes) : data(std::move(bytes))
	{
		file.reset(fmemopen(data.data(), data.size(), "rb"));
		if (!file) {
			std::perror("fmemopen");
			std::abort();
		}
	}
	std::FILE *get() const { return file.get(); }
};

static bool accepted_side(long v)
{
	for (long s = 2; s <= 2048; s *= 2)
		if (v == s)
			return true;
	return false;
}

static const Depth *find_depth(long bits)
{
	for (const Depth &d : depths)
		if (d.bits == bits)
			return &d;
	return nullptr;
}

static Expected decode(const Bytes &in)
{
	Expected e;

	if (in.size() < tga_header_size) {
		e.code = TGA_ERR_HEADER;
		return e;
	}
	const std::string file(in.begin(), in.end());
	const TgaHeader f = tga_fields(file);
	if (f.cmap != 0 || (f.type != 2 && f.type != 3)) {
		e.code = TGA_ERR_TYPE;
		return e;
	}
	if (!accepted_side(f.width) || !accepted_side(f.height)) {
		e.code = TGA_ERR_SIZE;
		return e;
	}
	const Depth *d = find_depth(f.depth);
	if (!d) {
		e.code = TGA_ERR_DEPTH;
		return e;
	}
	std::size_t start = tga_header_size + f.id_length;
	std::size_t n = std::size_t(f.width) * f.height * d->bytes;
	if (in.size() < start + n) {
		e.code = TGA_ERR_DATA;
		return e;
	}
	e.code = TGA_OK;
	e.width = f.width;
	e.height = f.height;
	e.format = d->format;
	std::string gl =
	        tga_reorder(file.substr(start, n), f.width, f.height, d->bytes, f.descriptor);
	e.pixels.assign(gl.begin(), gl.end());
	e.end = long(start + n);
	return e;
}

static void check_file(const Bytes &in)
{
	const Bytes poison = {0xab, 0xcd};
	Expected want = decode(in);
	Stream s(in);
	TgaImage out;

	out.width = -1;
	out.height = -1;
	out.format = untouched;
	out.pixels = poison;
	int got = readTGA(s.get(), out);
	CHECK(got == want.code);
	if (got != TGA_OK) {
		CHECK(out.width == -1 && out.height == -1);
		CHECK(out.format == untouched && out.pixels == poison);
		return;
	}
	const Depth *d = find_depth(in[16]);
	CHECK(d != nullptr);
	CHECK(accepted_side(out.width) && accepted_side(out.height));
	CHECK(out.width == want.width && out.height == want.height);
	CHECK(out.pixels.size() == std::size_t(out.width) * out.height * d->bytes);
	CHECK(out.format == d->format && out.format == want.format);
	CHECK(out.pixels == want.pixels);
	// Nothing past the pixel data is read: a footer is never consumed.
	CHECK(std::ftell(s.get()) == want.end);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	Bytes in(data, data + size);

	check_file(in);
	return 0;
}
