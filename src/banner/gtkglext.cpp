#include "banner/gl_area.h"

#include <gdk/x11/gdkglx.h>
#include <gtk/gtkgl.h>

#include <cstring>
#include <memory>

#include "banner/gl.h"
#include "base/glib_ptr.h"
#include "base/platform.h"

using GLConfigPtr = GObjectPtr<GdkGLConfig>;

using SwapIntervalMESA = int (*)(unsigned interval);
using SwapIntervalSGI = int (*)(int interval);
using SwapIntervalEXT = void (*)(Display *display, GLXDrawable drawable, int interval);

// Dropped as soon as context_can_be_made() has its answer.
struct ProbeContext {
	Display *display;
	GLXContext context;

	~ProbeContext()
	{
		if (context)
			glXDestroyContext(display, context);
	}
};

static GdkGLProc gl_proc(GdkGLConfig *config, const char *extension, const char *name)
{
	if (!gdk_x11_gl_query_glx_extension(config, extension))
		return nullptr;
	return gdk_gl_get_proc_address(name);
}

// One swap a refresh where the GL can wait for it; the caller's context
// must be current. Elsewhere the banner's own pacing is all there is.
static void ask_for_vsync(GtkWidget *widget)
{
	GdkGLConfig *config = gtk_widget_get_gl_config(widget);
	if (GdkGLProc p = gl_proc(config, "GLX_MESA_swap_control", "glXSwapIntervalMESA")) {
		reinterpret_cast<SwapIntervalMESA>(p)(1);
	} else if (GdkGLProc p = gl_proc(config, "GLX_SGI_swap_control", "glXSwapIntervalSGI")) {
		reinterpret_cast<SwapIntervalSGI>(p)(1);
	} else if (GdkGLProc p = gl_proc(config, "GLX_EXT_swap_control", "glXSwapIntervalEXT")) {
		Window glx = gdk_x11_gl_window_get_glxwindow(gtk_widget_get_gl_window(widget));
		reinterpret_cast<SwapIntervalEXT>(p)(gdk_x11_gl_config_get_xdisplay(config), glx,
		                                     1);
	}
}

// A display may offer GLX and still give no context: a server that refuses
// indirect GLX, a driver missing or with no room left to be mapped. GtkGLExt
// finds that out at realisation, where the X error ends the process; the
// same context made and dropped here first, with X errors trapped, tells.
static bool context_can_be_made(GdkGLConfig *config)
{
	Display *display = gdk_x11_gl_config_get_xdisplay(config);
	XVisualInfo *visual = gdk_x11_gl_config_get_xvinfo(config);
	gdk_error_trap_push();
	bool made;
	{
		// Direct where it can be, as the area's own context will be asked.
		ProbeContext probe{display, glXCreateContext(display, visual, nullptr, True)};
		made = probe.context != nullptr;
	}
	// The server's refusal comes back only with the next round trip.
	gdk_display_sync(gdk_screen_get_display(gdk_gl_config_get_screen(config)));
	return gdk_error_trap_pop() == 0 && made;
}

void gl_keep_to_x11()
{
}

bool gl_toolkit_init(int *argc, char ***argv)
{
	return gtk_gl_init_check(argc, argv);
}

bool gl_available()
{
	return gdk_display_get_default() && gdk_gl_query_extension();
}

bool with_gl_context(GtkWidget *area, const std::function<void()> &work)
{
	if (!gtk_widget_get_realized(area) || !gtk_widget_is_gl_capable(area))
		return false;
	GdkGLContext *context = gtk_widget_get_gl_context(area);
	GdkGLDrawable *drawable = gtk_widget_get_gl_drawable(area);
	if (!context || !drawable || !gdk_gl_drawable_gl_begin(drawable, context))
		return false;
	work();
	gdk_gl_drawable_gl_end(drawable);
	return true;
}

void swap_gl_buffers(GtkWidget *area)
{
	gdk_gl_drawable_swap_buffers(gtk_widget_get_gl_drawable(area));
}

gboolean init_ext(GtkWidget *widget, gpointer)
{
	with_gl_context(widget, [widget] {
		banner::init();
		ask_for_vsync(widget);
	});
	return TRUE;
}

gboolean reshape_ext(GtkWidget *widget, GdkEventConfigure *event, gpointer)
{
	with_gl_context(widget, [event] { banner::reshape(event->width, event->height); });
	return TRUE;
}

gboolean draw_ext(GtkWidget *widget, GlPaint *, gpointer)
{
	with_gl_context(widget, [widget] {
		banner::draw(performance_counter());
		swap_gl_buffers(widget);
	});
	return TRUE;
}

GtkWidget *CreateGl_GtkGlExt()
{
	// clang-format off
	static const int attrList[] = {
		GDK_GL_DOUBLEBUFFER,
		GDK_GL_RGBA,
		GDK_GL_RED_SIZE, 1,
		GDK_GL_GREEN_SIZE, 1,
		GDK_GL_BLUE_SIZE, 1,
		GDK_GL_ATTRIB_LIST_NONE,
	};
	// clang-format on
	// The capability holds its own reference to the configuration.
	GLConfigPtr config(gdk_gl_config_new(attrList));
	GtkWidget *area = gtk_drawing_area_new();
	gtk_widget_set_size_request(area, 300, 170);
	if (config && context_can_be_made(config.get()))
		gtk_widget_set_gl_capability(area, config.get(), nullptr, TRUE, GDK_GL_RGBA_TYPE);
	// After the default handler, as GtkGLExt's examples have it: the area's
	// windows exist by then, whatever else is connected to "realize".
	g_signal_connect_after(area, "realize", G_CALLBACK(init_ext), nullptr);
	g_signal_connect(area, "configure_event", G_CALLBACK(reshape_ext), nullptr);
	g_signal_connect(area, gl_paint_signal, G_CALLBACK(draw_ext), nullptr);
	return area;
}
