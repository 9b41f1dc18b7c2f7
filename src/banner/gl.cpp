#include "banner/gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "banner/tga.h"
#include "shell/platform.h"

enum { BANNER_TEXTURE = 1 };

// Eight decimals, not M_PI: the wave's phases are fixed by this value.
static const double WAVE_PI = 3.14159265;
static const double PHASE_WRAP = 1000000;

float ecart = 0;
std::int64_t lasttime = 0;
std::int64_t currenttime = 0;
double delay = 0;

void init()
{
	glClearColor(0, 0, 0, 0);
	glShadeModel(GL_SMOOTH);
	glEnable(GL_DEPTH_TEST);
	loadTGA("textures/image.tga", BANNER_TEXTURE);
	ecart = 0;
	currenttime = 0;
	lasttime = 0;
}

void reshape(int height, int width)
{
	glViewport(0, 0, width, height);
	glMatrixMode(GL_PROJECTION);
	glLoadIdentity();
	gluPerspective(60.0, double(width) / double(height), 1.0, 1000000.0);
	glMatrixMode(GL_MODELVIEW);
	glLoadIdentity();
}

void draw()
{
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
	glLoadIdentity();
	gluLookAt(0, 0, 30, 0, 0, -1, 0, 1, 0);
	mosaique(-38.75f, 38.8f, 15, -16.5f, 16.5f, 8);
	timer();
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
			float a = float((i + j) * w + ecart);
			float z = float(std::sin(double(a)));
			carre(float(left + j * double(dx)), float(left + (j + 1) * double(dx)),
			      float(bottom + i * double(dy)), float(bottom + (i + 1) * double(dy)),
			      float(j * double(ds)), float((j + 1) * double(ds)),
			      float(i * double(dt)), float((i + 1) * double(dt)), z);
		}
	}
	glDisable(GL_TEXTURE_2D);
}

void carre(float x1, float x2, float y1, float y2,
           float s1, float s2, float t1, float t2, float z)
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

void timer()
{
	currenttime = performance_counter();
	std::int64_t previous = lasttime ? lasttime : currenttime;
	lasttime = currenttime;
	delay = double(currenttime - previous);
}

void idle()
{
	double v = float(ecart + delay * 0.001 / 1300);
	while (v >= PHASE_WRAP)
		v -= PHASE_WRAP;
	ecart = float(v);
}
