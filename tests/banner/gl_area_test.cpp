// The GL area on an X server of the test's own: the first frame against the
// one the GTK+ 2 build shows, a screen scaled by 2, and a display that
// offers GLX but gives no context.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "banner/gl.h"
#include "banner_window.h"
#include "gui.h"
#include "process.h"
#include "tempdir.h"
#include "wait.h"

using namespace std::chrono_literals;

namespace {

using Env = std::vector<std::pair<const char *, const char *>>;

// The toolkit's default display while it lives, on a server of its own so
// that no other test's window covers it, opened with `env` set: GDK reads
// the window scale when a display opens, Mesa whether to go indirect when
// GLX is first used on it. The variables are the tests' own, unset after.
struct OwnDisplay {
	explicit OwnDisplay(const Env &env = {}) : env(env)
	{
		for (const auto &[name, value] : env)
			setenv(name, value, 1);
		if (!server.name().empty() && (display = gdk_display_open(server.name().c_str())))
			gdk_display_manager_set_default_display(gdk_display_manager_get(), display);
	}
	~OwnDisplay()
	{
		if (display) {
			gdk_display_manager_set_default_display(gdk_display_manager_get(),
			                                        previous);
			// GTK+ 2 drops, unreleased, what it set up for a display
			// it closes; left open, idle, until the test's process
			// ends, it is the toolkit's still.
#if GTK_CHECK_VERSION(3, 0, 0)
			gdk_display_close(display);
#endif
		}
		for (const auto &[name, value] : env)
			unsetenv(name);
	}

	VirtualDisplay server{{}};
	Env env;
	GdkDisplay *previous = gdk_display_get_default();
	GdkDisplay *display = nullptr;
};

} // namespace

// The first frame after the clock starts, drawn and swapped by the area's own
// handlers with the shipped texture, is the GTK+ 2 build's: pixel for pixel
// on the GL the reference names; another Mesa may round otherwise, and there
// 1% of the values may be more than 3 off. A frame that differs is written
// beside the test, in the reference's form.
TEST(BannerArea, FirstFrameIsTheOneTheGtk2BuildShows)
{
	OwnDisplay own;
	ASSERT_TRUE(own.display) << "Xvfb did not start";
	REQUIRE_GL();
	std::optional<ScopedChdir> in(source_dir() / "data");
	BannerWindow window;
	in.reset();
	std::string gl = "# ";
	ASSERT_TRUE(window.with_gl([&] {
		gl += reinterpret_cast<const char *>(glGetString(GL_RENDERER)) + std::string(", ") +
		      reinterpret_cast<const char *>(glGetString(GL_VERSION));
	}));
	banner::restart_wave();
	EmissionCount frames(window.area(), gl_paint_signal);
	gtk_widget_queue_draw(window.area());
	ASSERT_TRUE(wait_until([&] { return frames.count() > 0; }, 5s, [&] { window.settle(); }));
	ShownPixels seen = shown_pixels(window.area());
	ASSERT_EQ(frames.count(), 1) << "more than the first frame came";

	std::istringstream file(read_file(source_dir() / "tests/banner/first_frame.ppm"));
	std::string magic, want_gl, want_size, depth;
	for (std::string *line : {&magic, &want_gl, &want_size, &depth})
		std::getline(file, *line);
	std::vector<unsigned char> want{std::istreambuf_iterator<char>(file), {}};
	size_t off = 0, far_off = 0;
	for (size_t i = 0; i < std::min(want.size(), seen.rgb.size()); i++) {
		off += want[i] != seen.rgb[i];
		far_off += std::abs(want[i] - seen.rgb[i]) > 3;
	}
	std::string size = std::to_string(seen.width) + " " + std::to_string(seen.height);
	if (off || size != want_size)
		std::ofstream("first_frame.seen.ppm", std::ios::binary)
		        << "P6\n" + gl + "\n" + size + "\n255\n"
		        << std::string(seen.rgb.begin(), seen.rgb.end());
	SCOPED_TRACE("drawn by " + gl + ", the reference " + want_gl);
	ASSERT_EQ(size, want_size);
	if (want_gl == gl)
		EXPECT_EQ(off, 0u) << "values that differ";
	else
		EXPECT_LE(far_off * 100, want.size()) << "values more than 3 off";
}

// HiDPI: the frame fills every pixel of the area's window, twice its
// allocation each way.
TEST(BannerArea, ScaledScreenIsDrawnAtFullResolution)
{
	if (GTK_MAJOR_VERSION < 3)
		GTEST_SKIP() << "GTK+ 2 has no window scale: a point is a pixel there";
	OwnDisplay own(Env{{"GDK_SCALE", "2"}});
	ASSERT_TRUE(own.display) << "Xvfb did not start";
	REQUIRE_GL();
	BannerWindow window;
	ASSERT_EQ(window.width(), 300);
	ASSERT_EQ(window.height(), 170);
	ASSERT_TRUE(window.with_gl([] {
		GLint view[4];
		glGetIntegerv(GL_VIEWPORT, view);
		EXPECT_EQ(std::vector<GLint>(view, view + 4), (std::vector<GLint>{0, 0, 600, 340}));
	}));
}

// GLX offered, no context given: Mesa sent indirect, to a server that takes
// no indirect GLX (Xvfb's default). The refusal is an X error, which
// untrapped ends the process; the window comes up with an empty banner, the
// colour of the window around it.
TEST(BannerArea, RefusedContextLeavesTheBannerEmpty)
{
	OwnDisplay own(Env{{"LIBGL_ALWAYS_INDIRECT", "1"}});
	ASSERT_TRUE(own.display) << "Xvfb did not start";
	ASSERT_TRUE(gl_available()) << "the server offers no GLX at all";
	// The first frame would start the wave.
	banner::restart_wave();
	BannerWindow window;
	GtkWidget *toplevel = gtk_widget_get_toplevel(window.area());
	gtk_container_set_border_width(GTK_CONTAINER(toplevel), 10);
	EXPECT_FALSE(window.with_gl([] {}));
	// The area is painted some time after the window shows, later on a
	// busy machine: until then it may show anything.
	auto one_colour = [](const ShownPixels &shown) {
		for (size_t i = 3; i < shown.rgb.size(); i++)
			if (shown.rgb[i] != shown.rgb[i % 3])
				return false;
		return shown.width == 320;
	};
	EXPECT_TRUE(wait_until([&] { return one_colour(shown_pixels(toplevel)); }, 5s,
	                       [&] { window.settle(); }))
	        << "the window and its banner are not of one colour";
	EXPECT_FALSE(banner::wave.started);
}
