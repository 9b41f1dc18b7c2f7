// Reads uncompressed true-colour and grey TGA images into memory. Nothing
// here knows of OpenGL: the banner uploads what it gets (gl.cpp).
#pragma once

#include <cstdio>
#include <vector>

enum {
	TGA_OK = 1,
	TGA_ERR_HEADER = 2, // fewer than the 18 bytes of a header
	TGA_ERR_TYPE = 3,   // colour-mapped, run-length encoded or unknown
	TGA_ERR_SIZE = 4,   // a side that is not a power of two from 2 to 2048
	TGA_ERR_DEPTH = 5,  // not 32, 24 or 8 bits a pixel
	TGA_ERR_DATA = 6,   // image ID or pixels cut short, or no memory
	TGA_ERR_OPEN = 13,  // cannot be opened, or not a regular file
};

enum class PixelFormat { gray, rgb, rgba };

// Pixels red first, bottom row first, left column first: as OpenGL takes them.
struct TgaImage {
	int width = 0;
	int height = 0;
	PixelFormat format = PixelFormat::rgb;
	std::vector<unsigned char> pixels;
};

// Reads the image at `path` into `out`, which is filled only on success.
// A FIFO, a device or a directory is refused with TGA_ERR_OPEN at once:
// the file is opened without waiting for a writer and looked at before
// anything is read. Returns TGA_OK, TGA_ERR_OPEN or another TGA_ERR_*;
// with TGA_ERR_OPEN, `open_error` (when given) gets the errno value of
// why, or 0 for a file that is no regular one.
int loadTGA(const char *path, TgaImage &out, int *open_error = nullptr);

// Reads one image from the stream's position. Fills `out` only on success;
// never closes the stream.
int readTGA(std::FILE *f, TgaImage &out);
