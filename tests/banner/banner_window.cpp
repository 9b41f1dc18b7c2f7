#include "banner_window.h"

#include <GL/gl.h>
#include <gtk/gtkgl.h>

#include "banner/gl.h"
#include "banner/gtkglext.h"
#include "base/platform.h"
#include "wait.h"

bool have_gl()
{
	return gdk_display_get_default() && gdk_gl_query_extension();
}

static void drain()
{
	gdk_display_sync(gdk_display_get_default());
	while (gtk_events_pending())
		gtk_main_iteration_do(FALSE);
	gdk_window_process_all_updates();
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

int BannerWindow::width() const
{
	return area_->allocation.width;
}

int BannerWindow::height() const
{
	return area_->allocation.height;
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

bool BannerWindow::with_gl(const std::function<void()> &work)
{
	GdkGLContext *context = gtk_widget_get_gl_context(area_);
	GdkGLDrawable *drawable = gtk_widget_get_gl_drawable(area_);
	if (!context || !drawable || !gdk_gl_drawable_gl_begin(drawable, context))
		return false;
	work();
	gdk_gl_drawable_gl_end(drawable);
	return true;
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
