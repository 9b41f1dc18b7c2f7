// The GL context of the banner tests, in one place: a shown window holding
// one area from CreateGl_GtkGlExt. Its "realize" has run banner::init(), which loaded
// textures/image.tga from the working directory of the moment.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <vector>

// Whether there is an X display with GLX to open the window on.
bool have_gl();

#define REQUIRE_GL()                                                                               \
	do {                                                                                       \
		if (!have_gl())                                                                    \
			GTEST_SKIP() << "needs an X display with GLX";                             \
	} while (0)

class BannerWindow {
public:
	explicit BannerWindow(int width = 300, int height = 170);
	~BannerWindow();
	BannerWindow(const BannerWindow &) = delete;
	BannerWindow &operator=(const BannerWindow &) = delete;

	GtkWidget *area() const { return area_; }
	int width() const;
	int height() const;

	// Runs the main loop until the window is mapped and nothing is pending.
	void settle();
	// Runs `work` with the area's context current; false when it could not be.
	bool with_gl(const std::function<void()> &work);
	// Lets a few frames through the area's own expose handler, then draws
	// one more at phase 0 with banner::draw() and reads the back buffer
	// before any swap: RGBA bytes, bottom row first.
	std::vector<unsigned char> draw_frame();

private:
	GtkWidget *window_;
	GtkWidget *area_;
};
