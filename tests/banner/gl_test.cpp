#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtk/gtkgl.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "banner/gl.h"
#include "banner/gtkglext.h"
#include "banner_window.h"
#include "tempdir.h"

namespace {

using Rgb = std::array<int, 3>;

// A 256x256 texture whose red is the column and green the row counted from
// the bottom, with blue full: a pixel of a frame then shows which point of
// the texture it carries, s = red / blue and t = green / blue, whatever the
// grey of its tile.
std::string gradient_tga(bool top_down)
{
	std::string file(18, '\0');
	file[2] = 2;
	file[13] = file[15] = 1;
	file[16] = 24;
	file[17] = top_down ? 0x20 : 0;
	for (int r = 0; r < 256; r++) {
		int y = top_down ? 255 - r : r;
		for (int x = 0; x < 256; x++)
			file += {'\xff', char(y), char(x)};
	}
	return file;
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
		gluProject(x, y, z, projection.model, projection.proj, projection.view, &wx, &wy, &wz);
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
	ecart = 0;
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

TEST(BannerArea, AsksForDoubleBufferedRgbaAt300x170)
{
	REQUIRE_GL();
	GtkWidget *area = CreateGl_GtkGlExt();
	g_object_ref_sink(area);
	GtkRequisition size;
	gtk_widget_size_request(area, &size);
	EXPECT_EQ(size.width, 300);
	EXPECT_EQ(size.height, 170);
	ASSERT_TRUE(gtk_widget_is_gl_capable(area));
	GdkGLConfig *config = gtk_widget_get_gl_config(area);
	EXPECT_TRUE(gdk_gl_config_is_double_buffered(config));
	EXPECT_TRUE(gdk_gl_config_is_rgba(config));
	g_object_unref(area);
}

TEST(BannerArea, ConfigureSetsViewportAndAspect)
{
	REQUIRE_GL();
	BannerWindow window;
	ASSERT_EQ(window.width(), 300);
	ASSERT_EQ(window.height(), 170);
	ASSERT_TRUE(window.with_gl([] {
		Projection p = current_projection();
		EXPECT_EQ(std::vector<GLint>(p.view, p.view + 4), (std::vector<GLint>{0, 0, 300, 170}));
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
		ecart = 5;
		lasttime = 42;
		EXPECT_TRUE(init_ext(area, nullptr));
		EXPECT_TRUE(reshape_ext(area, &configure, nullptr));
		EXPECT_TRUE(draw_ext(area, nullptr, nullptr));
		EXPECT_EQ(ecart, 5.0f);
		EXPECT_EQ(lasttime, 42);
	}
	gtk_widget_destroy(window);
	g_object_unref(unrealised);
}

TEST(BannerFrame, ShadesTilesByTheirDepthOnTheWave)
{
	REQUIRE_GL();
	std::string white(18, '\0');
	white[2] = 3;
	white[12] = white[14] = 2;
	white[16] = 8;
	white += "\xff\xff\xff\xff";
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
				SCOPED_TRACE(testing::Message() << "tile " << row << "," << column << " at " << u << "," << v);
				Rgb c = f.at(-38.75 + 5.17 * (column + u), -16.5 + 4.125 * (row + v), z);
				ASSERT_GT(c[2], 150);
				EXPECT_NEAR(double(c[0]) / c[2], (column + u) / 15, 0.01);
				EXPECT_NEAR(double(c[1]) / c[2], (row + v) / 8, 0.01);
			}
		}
	}
}

TEST(FrameTiming, FirstFrameAfterInitMeasuresNothing)
{
	REQUIRE_GL();
	BannerWindow window;
	// The window has drawn frames already; a new realisation starts over.
	ASSERT_NE(lasttime, 0);
	delay = 77;
	ASSERT_TRUE(window.with_gl(init));
	EXPECT_EQ(delay, 77);
	EXPECT_EQ(lasttime, 0);
	EXPECT_EQ(ecart, 0);
	window.with_gl(draw);
	EXPECT_EQ(delay, 0);
	EXPECT_NE(lasttime, 0);
	std::int64_t first = lasttime;
	idle();
	EXPECT_EQ(ecart, 0);
	window.with_gl(draw);
	EXPECT_EQ(delay, double(currenttime - first));
	EXPECT_EQ(lasttime, currenttime);
}

TEST(FrameTiming, TimerCountsTicksSinceThePreviousFrame)
{
	lasttime = 0;
	timer();
	EXPECT_EQ(delay, 0);
	EXPECT_EQ(lasttime, currenttime);
	// No guard against a reading older than the last: the step goes back.
	lasttime = currenttime + 1000000;
	timer();
	EXPECT_LT(delay, 0);
	std::int64_t second_ago = currenttime - 3579545;
	lasttime = second_ago;
	timer();
	EXPECT_EQ(delay, double(currenttime - second_ago));
	EXPECT_GE(delay, 3579545);
}

TEST(FrameTiming, IdleAdvancesPhaseAndWrapsWithinOneCall)
{
	struct Case {
		float from;
		double ticks;
		float to;
	} cases[] = {
		{0, 1300000, 1},		// 1300 ticks a milliradian
		{10, -2600000, 8},
		{0, 4.225e12, 250000},		// 3250000 wraps three times
		{999999.5f, 650000, 0},		// reaching the wrap wraps
		{999999, 13000, 999999},	// 0.01 is lost in single precision
		{999999.9375f, 52000, 0},	// rounded up to the wrap, then wrapped
	};
	for (const Case &c : cases) {
		ecart = c.from;
		delay = c.ticks;
		idle();
		EXPECT_EQ(ecart, c.to) << c.from << " + " << c.ticks << " ticks";
	}
}
