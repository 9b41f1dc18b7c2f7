// Reads uncompressed true-colour and grey TGA images into an OpenGL texture.
#pragma once

#include <GL/gl.h>

#include <cstdio>
#include <vector>

enum {
	TGA_OK = 1,
	TGA_ERR_HEADER = 2,	// fewer than the 18 bytes of a header
	TGA_ERR_TYPE = 3,	// colour-mapped, run-length encoded or unknown
	TGA_ERR_SIZE = 4,	// a side that is not a power of two from 2 to 2048
	TGA_ERR_DEPTH = 5,	// not 32, 24 or 8 bits a pixel
	TGA_ERR_DATA = 6,	// image ID or pixels cut short, or no memory
	TGA_ERR_OPEN = 13,
};

// Pixels in OpenGL's order: red first, bottom row first, left column first.
struct TgaImage {
	int width = 0;
	int height = 0;
	GLenum format = 0;
	std::vector<unsigned char> pixels;
};

// OpenGL format of the last successful pixel read; 0 until one succeeds.
extern GLenum texFormat;

// Loads `path` as level 0 of texture `texture`, which stays bound. Needs a
// current GL context. Returns TGA_OK, TGA_ERR_OPEN or another TGA_ERR_*.
int loadTGA(const char *path, GLuint texture);

// The file half of loadTGA, without OpenGL: reads one image from the stream's
// start position. Fills `out` only on success; never closes the stream.
int readTGA(std::FILE *f, TgaImage &out);

int checkSize(int value);

// Each reads `count` pixels of one depth; an empty buffer means failure
// (short read, no memory or a count out of range), with texFormat untouched.
std::vector<unsigned char> getData(std::FILE *f, int count, int depth);
std::vector<unsigned char> getRGBA(std::FILE *f, int count);
std::vector<unsigned char> getRGB(std::FILE *f, int count);
std::vector<unsigned char> getGray(std::FILE *f, int count);
