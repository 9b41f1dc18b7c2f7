// The banner in the launcher's own window, built from the real interface
// file by the launcher's start-up.
#include "banner_window.h"
#include "gui.h"
#include "process.h"
#include "x_errors.h"

#include "banner/gl.h"
#include "interface/main_window.h"
#include "base/platform.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

using namespace std::chrono_literals;

TEST_F(GuiTest, BannerTopsTheWindowAndWaves)
{
	add_player("anna");
	start();
	GList *children = gtk_container_get_children(GTK_CONTAINER(ZelkWidget.vbox1));
	ASSERT_NE(children, nullptr);
	EXPECT_EQ(children->data, ZelkWidget.gl_area);
	g_list_free(children);

	int width = 0, height = 0;
	gtk_widget_get_size_request(ZelkWidget.gl_area, &width, &height);
	EXPECT_EQ(width, 300);
	EXPECT_EQ(height, 170);

	// What the X server shows of the area, as a user would see it.
	std::vector<unsigned char> first;
	ASSERT_TRUE(pump_until([&] {
		first = shown_pixels(ZelkWidget.gl_area).rgb;
		return std::any_of(first.begin(), first.end(), [](unsigned char c) { return c; });
	})) << "nothing was drawn";
	EXPECT_TRUE(pump_until([&] { return shown_pixels(ZelkWidget.gl_area).rgb != first; }))
	        << "the wave did not move";
}

TEST_F(GuiTest, BannerStopsWithItsWindow)
{
	start();
	pump_events(200);
	gpointer area = ZelkWidget.gl_area;
	gtk_widget_destroy(ZelkWidget.main);
	// A redraw source left behind would draw into a dead area.
	EXPECT_FALSE(g_source_remove_by_user_data(area));
}

namespace {

// The window away from the screen and back, as the user makes it go.
struct Away {
	const char *how;
	std::function<void(GtkWidget *)> leave, come_back;
};

// What a window manager does to iconify: unmap the window behind the
// program's back, and map it again when the user brings it back.
void x_map(GtkWidget *window, bool map)
{
	GdkWindow *w = gtk_widget_get_window(window);
	if (map)
		XMapWindow(GDK_WINDOW_XDISPLAY(w), GDK_WINDOW_XID(w));
	else
		XUnmapWindow(GDK_WINDOW_XDISPLAY(w), GDK_WINDOW_XID(w));
	XFlush(GDK_WINDOW_XDISPLAY(w));
}

// Another window over the whole of `window`.
GtkWidget *cover_window(GtkWidget *window)
{
	int x = 0, y = 0;
	gdk_window_get_origin(gtk_widget_get_window(window), &x, &y);
	GtkAllocation size;
	gtk_widget_get_allocation(window, &size);
	GtkWidget *cover = gtk_window_new(GTK_WINDOW_POPUP);
	gtk_window_move(GTK_WINDOW(cover), x - 10, y - 10);
	gtk_window_resize(GTK_WINDOW(cover), size.width + 20, size.height + 20);
	gtk_widget_show(cover);
	return cover;
}

// The angle from `from` to `to`, in (-pi, pi].
double turn(double from, double to)
{
	return std::remainder(to - from, 2 * M_PI);
}

} // namespace

TEST_F(GuiTest, BannerRestsWhileAwayAndComesBackWhereTheTimeIs)
{
	start();
	GtkWidget *area = ZelkWidget.gl_area;
	EmissionCount frames(area, gl_paint_signal);
	// Past the first frames of a freshly mapped area.
	ASSERT_TRUE(pump_until([&] { return frames.count() > 5; })) << "no frames drawn";
	GtkWidget *cover = nullptr;
	const Away ways[] = {
	        {"hidden", gtk_widget_hide, gtk_widget_show},
	        {"iconified", [](GtkWidget *w) { x_map(w, false); },
	         [](GtkWidget *w) { x_map(w, true); }},
	        {"covered by another window", [&](GtkWidget *w) { cover = cover_window(w); },
	         [&](GtkWidget *) { gtk_widget_destroy(cover); }},
	};
	for (const Away &away : ways) {
		SCOPED_TRACE(away.how);
		const std::int64_t origin = banner::wave.origin;
		away.leave(ZelkWidget.main);
		ASSERT_TRUE(pump_until([&] {
			return !g_main_context_find_source_by_user_data(nullptr, area);
		})) << "the banner is still paced";
		// A frame asked for before the pacing stopped may still come
		// where the window stays mapped.
		pump_events(50);
		int left_at = frames.count();
		pump_events(300);
		EXPECT_EQ(frames.count(), left_at) << "frames drawn where none can be seen";
		EXPECT_EQ(g_main_context_find_source_by_user_data(nullptr, area), nullptr);

		std::int64_t shown_at = performance_counter();
		away.come_back(ZelkWidget.main);
		ASSERT_TRUE(pump_until([&] { return frames.count() > left_at; }, 5s))
		        << "the banner did not come back";
		std::int64_t seen_at = performance_counter();
		// The wave went on while nobody saw it: the first frame back shows
		// the phase of its own moment, not the one it was left at.
		EXPECT_EQ(banner::wave.origin, origin);
		double from = banner::phase_after(shown_at - origin);
		double to = banner::phase_after(seen_at - origin);
		double at = turn(from, banner::wave.phase);
		EXPECT_GE(at, -1e-6) << "the first frame back shows the past";
		EXPECT_LE(at, turn(from, to) + 1e-6) << "the first frame back shows the future";
		EXPECT_TRUE(pump_until([&] { return frames.count() > left_at + 5; }, 5s))
		        << "the wave did not go on";
	}
}

namespace {

// The viewable top-level X windows that process `pid` made.
std::vector<Window> x_windows_of(Display *d, pid_t pid)
{
	std::vector<Window> found;
	Window root, parent, *children = nullptr;
	unsigned int n = 0;
	// Other tests' windows come and go on the same display: one gone
	// between the listing and the look at it is no error here.
	XErrorTrap trap;
	if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n))
		return found;
	Atom pid_atom = XInternAtom(d, "_NET_WM_PID", False);
	for (unsigned int i = 0; i < n; i++) {
		XWindowAttributes a;
		Atom type;
		int format;
		unsigned long count, after;
		unsigned char *data = nullptr;
		if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
		    XGetWindowProperty(d, children[i], pid_atom, 0, 1, False, XA_CARDINAL, &type,
		                       &format, &count, &after, &data) == Success &&
		    data && count == 1 && pid_t(*reinterpret_cast<unsigned long *>(data)) == pid)
			found.push_back(children[i]);
		if (data)
			XFree(data);
	}
	if (children)
		XFree(children);
	return found;
}

// Asks for the window to close, as its title bar's close button would.
void close_window(Display *d, Window w)
{
	XEvent e = {};
	e.xclient.type = ClientMessage;
	e.xclient.window = w;
	e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
	e.xclient.format = 32;
	e.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
	e.xclient.data.l[1] = CurrentTime;
	XSendEvent(d, w, False, NoEventMask, &e);
	XFlush(d);
}

} // namespace

// A FIFO as the texture would hold start-up for ever in open(): the window
// comes up with the untextured banner and answers the user.
TEST(BannerStartup, FifoAsTextureNeitherBlocksNorStops)
{
	TempDir dir;
	lay_out_game_dir(dir.path());
	std::filesystem::remove(dir / "textures/image.tga");
	ASSERT_EQ(mkfifo((dir / "textures/image.tga").c_str(), 0644), 0);
	ASSERT_NE(gdk_display_get_default(), nullptr) << "needs an X display";
	Display *d = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
	LauncherProcess p(dir.path());
	std::vector<Window> windows;
	wait_until(
	        [&] {
		        windows = x_windows_of(d, p.pid());
		        return !windows.empty() || !p.running();
	        },
	        10s);
	ASSERT_EQ(windows.size(), 1u) << "the launcher shows no window";
	close_window(d, windows.front());
	std::optional<int> status = p.wait(10s);
	ASSERT_TRUE(status) << "the launcher does not answer";
	EXPECT_EQ(*status, 0);
	EXPECT_EQ(p.output(), "");
}
