// The GL context of the banner tests, in one place: a shown window holding
// one area from CreateGl_GtkGlExt. Its "realize" has run banner::init(), which loaded
// textures/image.tga from the working directory of the moment.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <vector>

#include "banner/gl_area.h"

#define REQUIRE_GL()                                                                               \
	do {                                                                                       \
		if (!gl_available())                                                               \
			GTEST_SKIP() << "needs an X display with GLX";                             \
	} while (0)

// What the X server shows of `area`'s window, as the user sees it: RGB
// bytes, top row first, in the window's own pixels (twice the allocation
// each way on a screen scaled by 2); empty while it is not viewable.
struct ShownPixels {
	int width = 0, height = 0;
	std::vector<unsigned char> rgb;
};
ShownPixels shown_pixels(GtkWidget *area);

class BannerWindow {
public:
	explicit BannerWindow(int width = 300, int height = 170);
	~BannerWindow();
	BannerWindow(const BannerWindow &) = delete;
	BannerWindow &operator=(const BannerWindow &) = delete;

	GtkWidget *area() const { return area_; }
	int width() const { return allocation().width; }
	int height() const { return allocation().height; }

	// Runs the main loop until the window is mapped and nothing is pending.
	void settle();
	// Runs `work` with the area's context current; false when it could not be.
	bool with_gl(const std::function<void()> &work) { return with_gl_context(area_, work); }
	// Lets a few frames through the area's own expose handler, then draws
	// one more at phase 0 with banner::draw() and reads the back buffer
	// before any swap: RGBA bytes, bottom row first.
	std::vector<unsigned char> draw_frame();

private:
	GtkAllocation allocation() const
	{
		GtkAllocation a;
		gtk_widget_get_allocation(area_, &a);
		return a;
	}

	GtkWidget *window_;
	GtkWidget *area_;
};
