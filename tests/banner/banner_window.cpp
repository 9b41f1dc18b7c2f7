#include "banner_window.h"

#include <GL/gl.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>

#include <memory>

#include "banner/gl.h"
#include "base/platform.h"
#include "wait.h"

ShownPixels shown_pixels(GtkWidget *area)
{
	GdkWindow *window = gtk_widget_get_window(area);
	XWindowAttributes a;
	if (!window ||
	    !XGetWindowAttributes(GDK_WINDOW_XDISPLAY(window), GDK_WINDOW_XID(window), &a) ||
	    a.map_state != IsViewable)
		return {};
	auto destroy = [](XImage *image) { XDestroyImage(image); };
	std::unique_ptr<XImage, decltype(destroy)> image(
	        XGetImage(GDK_WINDOW_XDISPLAY(window), GDK_WINDOW_XID(window), 0, 0, a.width,
	                  a.height, AllPlanes, ZPixmap),
	        destroy);
	ShownPixels shown{a.width, a.height, {}};
	for (int y = 0; image && y < a.height; y++)
		for (int x = 0; x < a.width; x++)
			for (unsigned long mask :
			     {image->red_mask, image->green_mask, image->blue_mask})
				shown.rgb.push_back((XGetPixel(image.get(), x, y) & mask) >>
				                    __builtin_ctzl(mask));
	return shown;
}

static void drain()
{
	gdk_display_sync(gdk_display_get_default());
	while (gtk_events_pending())
		gtk_main_iteration_do(FALSE);
	// Deprecated on GTK 3, where the frame clock paints; still honoured.
	G_GNUC_BEGIN_IGNORE_DEPRECATIONS
	gdk_window_process_all_updates();
	G_GNUC_END_IGNORE_DEPRECATIONS
}

BannerWindow::BannerWindow(int width, int height)
{
	window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
	area_ = CreateGl_GtkGlExt();
	gtk_widget_set_size_request(area_, width, height);
	gtk_container_add(GTK_CONTAINER(window_), area_);
	gtk_widget_show_all(window_);
	settle();
}

BannerWindow::~BannerWindow()
{
	gtk_widget_destroy(window_);
	drain();
}

void BannerWindow::settle()
{
	// X answers asynchronously: the map may come a while after the show.
	wait_until([&] { return gtk_widget_get_mapped(area_); }, std::chrono::seconds(2),
	           [] {
		           drain();
		           g_usleep(2000);
	           });
	drain();
	drain();
}

std::vector<unsigned char> BannerWindow::draw_frame()
{
	// Mesa may size the buffers of a fresh window only at a later frame.
	for (int i = 0; i < 3; i++) {
		gtk_widget_queue_draw(area_);
		settle();
	}
	std::vector<unsigned char> pixels(size_t(width()) * height() * 4);
	with_gl([&] {
		// The first frame after a new start of the clock is at phase 0.
		banner::restart_wave();
		banner::draw(performance_counter());
		glReadBuffer(GL_BACK);
		glPixelStorei(GL_PACK_ALIGNMENT, 1);
		glReadPixels(0, 0, width(), height(), GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	});
	return pixels;
}
