#include "banner/gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "banner/tga.h"
#include "base/french_errors.h"

namespace banner {

enum { BANNER_TEXTURE = 1 };

// Eight decimals, not M_PI: the tiles' phases are fixed by this value.
static const double WAVE_PI = 3.14159265;
// The wave is sin(phase), so the phase is taken modulo the true 2 pi. Kept
// that small, a float phase resolves about 5e-7 radians: a frame's
// step counts in full at any frame rate and after any running time.
static const double PHASE_WRAP = 2 * M_PI;
static const double RADIANS_PER_TICK = 0.001 / 1300;

static Wave state;
const Wave &wave = state;

float phase_after(std::int64_t ticks)
{
	// In double, a year of ticks is off by less than 1e-9 radians here,
	// far below what the float phase can show.
	double radians = double(ticks) * RADIANS_PER_TICK;
	float phase = float(radians - std::floor(radians / PHASE_WRAP) * PHASE_WRAP);
	return phase >= 0 && phase < float(PHASE_WRAP) ? phase : 0.0f;
}

void advance(std::int64_t now)
{
	if (!state.started) {
		state.started = true;
		state.origin = now;
	}
	state.phase = phase_after(now - state.origin);
}

void restart_wave()
{
	state.started = false;
	state.phase = 0;
}

static GLenum gl_format(PixelFormat format)
{
	switch (format) {
	case PixelFormat::gray:
		return GL_LUMINANCE;
	case PixelFormat::rgba:
		return GL_RGBA;
	case PixelFormat::rgb:
		break;
	}
	return GL_RGB;
}

// Why the picture was not taken, to stand after a colon: the system's
// reason for a file that cannot be opened, else what is wrong with it.
static std::string texture_fault(int result, int open_error)
{
	switch (result) {
	case TGA_ERR_OPEN:
		return open_error ? french_reason(open_error) : "ce n'est pas un fichier ordinaire";
	case TGA_ERR_HEADER:
		return "le fichier est trop court pour une image TGA";
	case TGA_ERR_TYPE:
		return "ce n'est pas une image TGA non compressée, en couleurs ou en gris";
	case TGA_ERR_SIZE:
		return "ses côtés ne sont pas des puissances de deux de 2 à 2048 pixels";
	case TGA_ERR_DEPTH:
		return "ses pixels ne font ni 8, ni 24, ni 32 bits";
	}
	return "l'image est incomplète, ou la mémoire manque";
}

// The banner waves untextured; whoever reads the launcher's output learns
// why.
static void report_untextured(const char *path, int result, int open_error)
{
	std::fprintf(stderr, "Image de la bannière « %s » non chargée : %s.\n", path,
	             texture_fault(result, open_error).c_str());
}

int load_texture(const char *path, unsigned texture)
{
	TgaImage img;
	int open_error = 0;
	int result = loadTGA(path, img, &open_error);
	if (result != TGA_OK) {
		report_untextured(path, result, open_error);
		return result;
	}
	GLenum format = gl_format(img.format);
	glBindTexture(GL_TEXTURE_2D, texture);
	glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
	glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
	glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), img.width, img.height, 0, format,
	             GL_UNSIGNED_BYTE, img.pixels.data());
	return TGA_OK;
}

void init()
{
	glClearColor(0, 0, 0, 0);
	glShadeModel(GL_SMOOTH);
	glEnable(GL_DEPTH_TEST);
	load_texture("textures/image.tga", BANNER_TEXTURE);
	restart_wave();
}

void reshape(int width, int height)
{
	glViewport(0, 0, width, height);
	glMatrixMode(GL_PROJECTION);
	glLoadIdentity();
	gluPerspective(60.0, double(width) / double(height), 1.0, 1000000.0);
	glMatrixMode(GL_MODELVIEW);
	glLoadIdentity();
}

void draw(std::int64_t now)
{
	advance(now);
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
	glLoadIdentity();
	gluLookAt(0, 0, 30, 0, 0, -1, 0, 1, 0);
	mosaique(-38.75f, 38.8f, 15, -16.5f, 16.5f, 8);
}

// Edges are step times index, not running sums, so no rounding piles up;
// the last right edge is then left + columns * dx rather than `right`.
void mosaique(float left, float right, int columns, float bottom, float top, int rows)
{
	float dx = float(right - left) / columns;
	float dy = (top - bottom) / rows;
	float ds = 1.0f / columns;
	float dt = 1.0f / rows;
	int k = (columns + rows) / 3;
	double w = 2 * (WAVE_PI / k);

	glEnable(GL_TEXTURE_2D);
	glBindTexture(GL_TEXTURE_2D, BANNER_TEXTURE);
	for (int i = 0; i < rows; i++) {
		for (int j = 0; j < columns; j++) {
			float a = float((i + j) * w + wave.phase);
			float z = float(std::sin(double(a)));
			carre(float(left + j * double(dx)), float(left + (j + 1) * double(dx)),
			      float(bottom + i * double(dy)), float(bottom + (i + 1) * double(dy)),
			      float(j * double(ds)), float((j + 1) * double(ds)),
			      float(i * double(dt)), float((i + 1) * double(dt)), z);
		}
	}
	glDisable(GL_TEXTURE_2D);
}

void carre(float x1, float x2, float y1, float y2, float s1, float s2, float t1, float t2, float z)
{
	float g = float(z * 0.25 + 0.75);
	glColor3f(g, g, g);
	glBegin(GL_QUADS);
	glTexCoord2f(s1, t1);
	glVertex3f(x1, y1, z);
	glTexCoord2f(s1, t2);
	glVertex3f(x1, y2, z);
	glTexCoord2f(s2, t2);
	glVertex3f(x2, y2, z);
	glTexCoord2f(s2, t1);
	glVertex3f(x2, y1, z);
	glEnd();
}

} // namespace banner
