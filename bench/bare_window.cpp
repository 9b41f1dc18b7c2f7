// The yardstick for the launcher's start-up and frame rate: a bare GTK+
// window; with "gl [WIDTH [paced]]" a GL area of WIDTH (300 by default) by
// 170 that only clears and swaps, as fast as the main loop allows or, with
// "paced", at the banner's 60 frames a second.
#include <GL/gl.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <cstring>

#include "banner/gl_area.h"

static gboolean clear_and_swap(GtkWidget *area, GlPaint *, gpointer)
{
	with_gl_context(area, [area] {
		glClearColor(0, 0, 0, 0);
		glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
		swap_gl_buffers(area);
	});
	return TRUE;
}

static gboolean redraw(gpointer area)
{
	gtk_widget_queue_draw(GTK_WIDGET(area));
	return TRUE;
}

// The banner's own area, with the frame-buffer attributes it asks for,
// without the banner: neither its texture nor its mosaic.
static GtkWidget *clearing_area(int width)
{
	GtkWidget *area = CreateGl_GtkGlExt();
	gtk_widget_set_size_request(area, width, 170);
	g_signal_handlers_disconnect_by_func(area, reinterpret_cast<gpointer>(init_ext), nullptr);
	g_signal_handlers_disconnect_by_func(area, reinterpret_cast<gpointer>(draw_ext), nullptr);
	g_signal_connect(area, gl_paint_signal, G_CALLBACK(clear_and_swap), nullptr);
	return area;
}

int main(int argc, char *argv[])
{
	gl_keep_to_x11();
	gtk_init(&argc, &argv);
	gl_toolkit_init(&argc, &argv);
	GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
	g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
	if (argc > 1 && std::strcmp(argv[1], "gl") == 0) {
		GtkWidget *area = clearing_area(argc > 2 ? std::atoi(argv[2]) : 300);
		gtk_container_add(GTK_CONTAINER(window), area);
		if (argc > 3 && std::strcmp(argv[3], "paced") == 0)
			g_timeout_add_full(G_PRIORITY_DEFAULT_IDLE, 1000 / 60, redraw, area,
			                   nullptr);
		else
			g_idle_add(redraw, area);
	}
	gtk_widget_show_all(window);
	gtk_main();
	return 0;
}
