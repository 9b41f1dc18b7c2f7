#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "banner/gl.h"
#include "banner/gl_area.h"
#include "banner_window.h"
#include "base/platform.h"
#include "tempdir.h"
#include "tga_writer.h"

namespace {

using Rgb = std::array<int, 3>;

// A 256x256 texture whose red is the column and green the row counted from
// the bottom, with blue full: a pixel of a frame then shows which point of
// the texture it carries, s = red / blue and t = green / blue, whatever the
// grey of its tile.
std::string gradient_tga(bool top_down)
{
	std::string texels;
	for (int y = 0; y < 256; y++)
		for (int x = 0; x < 256; x++)
			texels += {char(x), char(y), '\xff'};
	return tga_file({0, 0, 2, 256, 256, 24, top_down ? tga_top_down : 0}, texels);
}

struct Projection {
	GLdouble model[16], proj[16];
	GLint view[4];
};

Projection current_projection()
{
	Projection p;
	glGetDoublev(GL_MODELVIEW_MATRIX, p.model);
	glGetDoublev(GL_PROJECTION_MATRIX, p.proj);
	glGetIntegerv(GL_VIEWPORT, p.view);
	return p;
}

// One frame of the banner in an area of the given size, with `texture` as
// textures/image.tga and the wave at phase 0.
struct Frame {
	Projection projection;
	std::vector<unsigned char> pixels;

	// The pixel that shows the point (x, y, z) of the scene.
	Rgb at(double x, double y, double z) const
	{
		GLdouble wx, wy, wz;
		gluProject(x, y, z, projection.model, projection.proj, projection.view, &wx, &wy,
		           &wz);
		size_t o = (size_t(wy) * projection.view[2] + size_t(wx)) * 4;
		return {pixels.at(o), pixels.at(o + 1), pixels.at(o + 2)};
	}

	// The centre of the tile in (row, column), taken at depth 0: its own
	// depth moves it by a few pixels only.
	Rgb tile(int row, int column) const
	{
		return at(-38.75 + 5.17 * (column + 0.5), -16.5 + 4.125 * (row + 0.5), 0);
	}
};

Frame banner_frame(const std::string &texture, int width, int height)
{
	TempDir dir;
	std::filesystem::create_directory(dir / "textures");
	write_file(dir / "textures/image.tga", texture);
	ScopedChdir in(dir.path());
	BannerWindow window(width, height);
	Frame f;
	f.pixels = window.draw_frame();
	window.with_gl([&] { f.projection = current_projection(); });
	return f;
}

void expect_near(const Rgb &got, const Rgb &want)
{
	for (int c = 0; c < 3; c++)
		EXPECT_NEAR(got[c], want[c], 4) << "channel " << c;
}

} // namespace

// The frame buffer has no depth buffer, although the renderer tests depth:
// tiles then cover each other in the order they are drawn, as they always did.
TEST(BannerArea, AsksForDoubleBufferedRgbaAt300x170)
{
	REQUIRE_GL();
	GtkWidget *area = CreateGl_GtkGlExt();
	g_object_ref_sink(area);
	int width = 0, height = 0;
	gtk_widget_get_size_request(area, &width, &height);
	EXPECT_EQ(width, 300);
	EXPECT_EQ(height, 170);
	g_object_unref(area);
	BannerWindow window;
	ASSERT_TRUE(window.with_gl([] {
		const struct {
			GLenum what;
			GLint least, most;
		} rows[] = {{GL_DOUBLEBUFFER, 1, 1}, {GL_RGBA_MODE, 1, 1},  {GL_RED_BITS, 1, 16},
		            {GL_GREEN_BITS, 1, 16},  {GL_BLUE_BITS, 1, 16}, {GL_DEPTH_BITS, 0, 0}};
		for (const auto &row : rows) {
			GLint value = -1;
			glGetIntegerv(row.what, &value);
			EXPECT_GE(value, row.least) << std::hex << row.what;
			EXPECT_LE(value, row.most) << std::hex << row.what;
		}
	}));
}

TEST(BannerArea, ConfigureSetsViewportAndAspect)
{
	REQUIRE_GL();
	BannerWindow window;
	ASSERT_EQ(window.width(), 300);
	ASSERT_EQ(window.height(), 170);
	ASSERT_TRUE(window.with_gl([] {
		Projection p = current_projection();
		EXPECT_EQ(std::vector<GLint>(p.view, p.view + 4),
		          (std::vector<GLint>{0, 0, 300, 170}));
		// gluPerspective puts f / aspect and f on the diagonal.
		EXPECT_NEAR(p.proj[5] / p.proj[0], 300.0 / 170.0, 1e-9);
	}));
}

TEST(BannerArea, HandlersDoNothingWithoutAContext)
{
	REQUIRE_GL();
	GtkWidget *unrealised = CreateGl_GtkGlExt();
	g_object_ref_sink(unrealised);
	// As the area would be if no GL configuration could be had.
	GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
	GtkWidget *plain = gtk_drawing_area_new();
	gtk_container_add(GTK_CONTAINER(window), plain);
	gtk_widget_realize(plain);
	GdkEventConfigure configure = {};
	configure.width = 300;
	configure.height = 170;
	for (GtkWidget *area : {unrealised, plain}) {
		// A wave under way at phase 5, which init() would start over.
		banner::restart_wave();
		banner::advance(0);
		banner::advance(5 * 1300000);
		EXPECT_TRUE(init_ext(area, nullptr));
		EXPECT_TRUE(reshape_ext(area, &configure, nullptr));
		EXPECT_TRUE(draw_ext(area, nullptr, nullptr));
		// A frame would have set the phase of its own moment.
		EXPECT_FLOAT_EQ(banner::wave.phase, 5.0f);
	}
	gtk_widget_destroy(window);
	g_object_unref(unrealised);
}

TEST(BannerFrame, ShadesTilesByTheirDepthOnTheWave)
{
	REQUIRE_GL();
	std::string white = tga_file({0, 0, 3, 2, 2, 8, 0}, std::string(4, '\xff'));
	// Wide enough for the mosaic's left column, which 300x170 crops.
	Frame f = banner_frame(white, 400, 170);
	// Along the bottom row: diagonals 0 to 7 of a wave 7 diagonals long.
	const int grey[] = {191, 241, 253, 219, 164, 129, 142, 191};
	for (int column = 0; column < 8; column++) {
		SCOPED_TRACE(column);
		expect_near(f.tile(0, column), {grey[column], grey[column], grey[column]});
	}
	expect_near(f.tile(1, 0), {241, 241, 241});
	expect_near(f.tile(7, 7), {191, 191, 191});
}

TEST(BannerFrame, MapsThePictureUprightOntoEveryTile)
{
	REQUIRE_GL();
	// Tiles in view on bright diagonals (0 to 3 of 7), points inside them
	// clear of where a nearer neighbour may overlap.
	const int tiles[][2] = {{0, 10}, {1, 6}, {2, 7}, {3, 7}, {4, 4}, {5, 2}, {6, 9}};
	const double inside[][2] = {{0.3, 0.3}, {0.7, 0.3}, {0.3, 0.7}, {0.7, 0.7}};
	for (bool top_down : {false, true}) {
		SCOPED_TRACE(top_down ? "top-down file" : "bottom-up file");
		Frame f = banner_frame(gradient_tga(top_down), 300, 170);
		for (const auto &[row, column] : tiles) {
			double z = std::sin((row + column) * 2 * 3.14159265 / 7);
			for (const auto &[u, v] : inside) {
				SCOPED_TRACE(testing::Message() << "tile " << row << "," << column
				                                << " at " << u << "," << v);
				Rgb c = f.at(-38.75 + 5.17 * (column + u),
				             -16.5 + 4.125 * (row + v), z);
				ASSERT_GT(c[2], 150);
				EXPECT_NEAR(double(c[0]) / c[2], (column + u) / 15, 0.01);
				EXPECT_NEAR(double(c[1]) / c[2], (row + v) / 8, 0.01);
			}
		}
	}
}

TEST(FrameTiming, FirstFrameAfterInitIsAtPhaseZero)
{
	REQUIRE_GL();
	BannerWindow window;
	// The window has drawn frames already; a new realisation starts over.
	ASSERT_TRUE(banner::wave.started);
	ASSERT_TRUE(window.with_gl(banner::init));
	EXPECT_FALSE(banner::wave.started);
	EXPECT_EQ(banner::wave.phase, 0);
	const std::int64_t first = 987654321;
	window.with_gl([&] { banner::draw(first); });
	EXPECT_EQ(banner::wave.phase, 0);
	EXPECT_EQ(banner::wave.origin, first);
	window.with_gl([&] { banner::draw(first + 1300000); });
	// The second frame's own reading sets its phase.
	EXPECT_FLOAT_EQ(banner::wave.phase, 1);
}

// 1300 ticks a milliradian, modulo the 2 pi of the sine the tiles follow.
TEST(FrameTiming, PhaseFollowsTheTicksModuloTwoPi)
{
	const double two_pi = 2 * M_PI, ticks_per_radian = 1300000;
	struct Case {
		double ticks;
		double phase;
	} cases[] = {
	        {0, 0},
	        {1300000, 1},
	        {-1300000, two_pi - 1}, // a counter that goes back moves the wave back
	        {two_pi * ticks_per_radian * 3 + 2600000, 2},
	        {two_pi * ticks_per_radian * 1e4 + 650000, 0.5},
	};
	for (const Case &c : cases) {
		float got = banner::phase_after(std::int64_t(std::llround(c.ticks)));
		EXPECT_NEAR(got, c.phase, 1e-6) << c.ticks << " ticks";
		EXPECT_GE(got, 0);
		EXPECT_LT(got, float(two_pi));
	}
}

// A day of frames at the rate of a software renderer left to run free, and
// at a screen's: at the end each frame still moves the wave by one frame's
// worth, and the picture is what the time since the first frame gives.
TEST(FrameTiming, WaveKeepsMovingThroughADay)
{
	const double radians_per_tick = 0.001 / 1300;
	const std::int64_t day = std::int64_t(24) * 3600 * performance_counter_rate;
	const std::int64_t start = 123456789;
	for (int fps : {2000, 60}) {
		SCOPED_TRACE(testing::Message() << fps << " frames a second");
		const std::int64_t step = performance_counter_rate / fps;
		const double want_step = step * radians_per_tick;
		banner::restart_wave();
		float previous = 0;
		int checked = 0;
		// Every frame of the day's last minute, one an hour before.
		const std::int64_t last_minute = day - 60 * performance_counter_rate;
		std::int64_t next_sample = step;
		for (std::int64_t t = 0; t <= day; t += step) {
			banner::advance(start + t);
			float phase = banner::wave.phase;
			if (t >= next_sample || t >= last_minute) {
				next_sample = t + 3600 * performance_counter_rate;
				double moved = std::remainder(double(phase) - previous, 2 * M_PI);
				long double elapsed = (long double)t * radians_per_tick;
				ASSERT_NEAR(moved, want_step, 1e-6) << "after " << t << " ticks";
				ASSERT_NEAR(std::sin(double(phase)), double(std::sin(elapsed)),
				            2e-6)
				        << "after " << t << " ticks";
				checked++;
			}
			previous = phase;
		}
		EXPECT_GT(checked, 60 * fps);
	}
}
