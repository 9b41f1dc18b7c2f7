// The banner: a waving mosaic of tiles cut from one texture, and its clock.
// Every function but timer() and idle() needs a current GL context.
#pragma once

#include <cstdint>

extern float ecart;		// phase of the wave, radians
extern std::int64_t lasttime;	// previous frame's counter reading; 0: none since init()
extern std::int64_t currenttime;
extern double delay;		// counter ticks between the last two frames

void init();
void reshape(int height, int width);
void draw();
void mosaique(float left, float right, int columns, float bottom, float top, int rows);
void carre(float x1, float x2, float y1, float y2,
           float s1, float s2, float t1, float t2, float z);
void timer();
void idle();
