// The yardstick for the launcher's start-up and frame rate: a bare GTK+
// window; with "gl [WIDTH [paced]]" a GL area of WIDTH (300 by default) by
// 170 that only clears and swaps, as fast as the main loop allows or, with
// "paced", at the banner's 60 frames a second.
#include <GL/gl.h>
#include <gtk/gtk.h>
#include <gtk/gtkgl.h>

#include <cstdlib>
#include <cstring>

static gboolean clear_and_swap(GtkWidget *area, GdkEventExpose *, gpointer)
{
	GdkGLContext *context = gtk_widget_get_gl_context(area);
	GdkGLDrawable *drawable = gtk_widget_get_gl_drawable(area);
	if (!gdk_gl_drawable_gl_begin(drawable, context))
		return TRUE;
	glClearColor(0, 0, 0, 0);
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
	gdk_gl_drawable_swap_buffers(drawable);
	gdk_gl_drawable_gl_end(drawable);
	return TRUE;
}

static gboolean redraw(gpointer area)
{
	gtk_widget_queue_draw(GTK_WIDGET(area));
	return TRUE;
}

int main(int argc, char *argv[])
{
	gtk_init(&argc, &argv);
	gtk_gl_init(&argc, &argv);
	GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
	g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
	if (argc > 1 && std::strcmp(argv[1], "gl") == 0) {
		static int attributes[] = {GDK_GL_DOUBLEBUFFER,    GDK_GL_RGBA, GDK_GL_RED_SIZE,  1,
		                           GDK_GL_GREEN_SIZE,      1,           GDK_GL_BLUE_SIZE, 1,
		                           GDK_GL_ATTRIB_LIST_NONE};
		GtkWidget *area = gtk_drawing_area_new();
		gtk_widget_set_size_request(area, argc > 2 ? std::atoi(argv[2]) : 300, 170);
		gtk_widget_set_gl_capability(area, gdk_gl_config_new(attributes), nullptr, TRUE,
		                             GDK_GL_RGBA_TYPE);
		g_signal_connect(area, "expose_event", G_CALLBACK(clear_and_swap), nullptr);
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
