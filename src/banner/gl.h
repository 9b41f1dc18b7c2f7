// The banner: a waving mosaic of tiles cut from one texture, and the clock
// that sets the wave. Every function but phase_after(), advance() and
// restart_wave() needs a current GL context.
#pragma once

#include <cstdint>

namespace banner {

// The wave of the frames drawn so far. The phase is a function of the
// counter reading of the frame, never a sum of per-frame steps, so the
// picture at any moment is the same however many frames were drawn.
struct Wave {
	bool started = false;    // false until the first frame after init()
	std::int64_t origin = 0; // the reading at which the phase was 0
	float phase = 0;         // radians, in [0, 2 pi)
};

// Read-only outside gl.cpp: the clock below is the one way to move it.
extern const Wave &wave;

// The phase, in [0, 2 pi), after `ticks` of the performance counter:
// 0.001 / 1300 radians a tick, taken modulo 2 pi.
float phase_after(std::int64_t ticks);

// Sets the wave for a frame read at `now`; the first after init() is phase 0.
void advance(std::int64_t now);

// Starts the wave over, as for a new context: the next frame is at phase 0.
void restart_wave();

// Loads the image at `path` as level 0 of texture `texture`, which stays
// bound; returns what loadTGA() returned, and touches no GL state on
// failure, but says on standard error, in French, which file and why.
int load_texture(const char *path, unsigned texture);

void init();
void reshape(int width, int height);
// One frame at the counter reading `now`, into the back buffer, unswapped.
void draw(std::int64_t now);
void mosaique(float left, float right, int columns, float bottom, float top, int rows);
void carre(float x1, float x2, float y1, float y2, float s1, float s2, float t1, float t2, float z);

} // namespace banner
