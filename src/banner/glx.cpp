#include "banner/gl_area.h"

#include <GL/glx.h>
#include <gdk/gdkx.h>

#include <cstring>
#include <memory>

#include "banner/gl.h"
#include "base/platform.h"

struct XFreeDeleter {
	void operator()(void *p) const { XFree(p); }
};

using SwapIntervalMESA = int (*)(unsigned interval);
using SwapIntervalSGI = int (*)(int interval);
using SwapIntervalEXT = void (*)(Display *display, GLXDrawable drawable, int interval);

// One area's GL, owned by the area: the visual it was given when made, and
// the context of its realisation, dropped when it is unrealised.
struct GlxArea {
	Display *display;
	std::unique_ptr<XVisualInfo, XFreeDeleter> visual;
	GLXContext context = nullptr;

	~GlxArea() { drop_context(); }
	void drop_context();
};

static const char GLX_AREA_KEY[] = "banner-glx-area";

void GlxArea::drop_context()
{
	if (!context)
		return;
	if (glXGetCurrentContext() == context)
		glXMakeCurrent(display, None, nullptr);
	glXDestroyContext(display, context);
	context = nullptr;
}

static GlxArea *glx_area(GtkWidget *area)
{
	return static_cast<GlxArea *>(g_object_get_data(G_OBJECT(area), GLX_AREA_KEY));
}

static void free_glx_area(gpointer gl)
{
	std::unique_ptr<GlxArea> owned(static_cast<GlxArea *>(gl));
}

static Window x_window(GtkWidget *area)
{
	return gdk_x11_window_get_xid(gtk_widget_get_window(area));
}

// What the GTK+ 2 build asks of GtkGLExt, through the same GLX call: the
// frame-buffer attributes decide the first frame (no depth buffer is asked
// for, so none is had, and the renderer's depth test lets every tile
// through in the order it is drawn).
static std::unique_ptr<GlxArea> choose_visual(GdkScreen *screen)
{
	// clang-format off
	int attrList[] = {
		GLX_DOUBLEBUFFER,
		GLX_RGBA,
		GLX_RED_SIZE, 1,
		GLX_GREEN_SIZE, 1,
		GLX_BLUE_SIZE, 1,
		None,
	};
	// clang-format on
	auto gl = std::make_unique<GlxArea>();
	gl->display = gdk_x11_display_get_xdisplay(gdk_screen_get_display(screen));
	gl->visual.reset(
	        glXChooseVisual(gl->display, gdk_x11_screen_get_screen_number(screen), attrList));
	if (!gl->visual)
		return nullptr;
	return gl;
}

// GL draws straight onto the area's X window: GTK must neither paint a
// background over it nor paint into a buffer of its own and copy that over
// the frame. Deprecated since GTK 3.14, and still the one way to keep GTK's
// painting off a native window.
static void let_gl_paint(GtkWidget *area, bool gl)
{
	gtk_widget_set_app_paintable(area, gl);
	G_GNUC_BEGIN_IGNORE_DEPRECATIONS
	gtk_widget_set_double_buffered(area, !gl);
	G_GNUC_END_IGNORE_DEPRECATIONS
}

// A display may offer GLX and still give no context: a server that refuses
// indirect GLX, a driver missing or with no room left to be mapped. The
// refusal comes as an X error, which would end the process; trapped, it
// leaves the area empty.
static GLXContext make_glx_context(GtkWidget *area, GlxArea &gl)
{
	GdkDisplay *display = gtk_widget_get_display(area);
	gdk_x11_display_error_trap_push(display);
	GLXContext context = glXCreateContext(gl.display, gl.visual.get(), nullptr, True);
	// The server's answer comes back only with the next round trip.
	XSync(gl.display, False);
	if (gdk_x11_display_error_trap_pop(display) == 0)
		return context;
	if (context) {
		gdk_x11_display_error_trap_push(display);
		glXDestroyContext(gl.display, context);
		XSync(gl.display, False);
		gdk_x11_display_error_trap_pop_ignored(display);
	}
	return nullptr;
}

static bool has_glx_extension(Display *display, int screen, const char *name)
{
	const char *list = glXQueryExtensionsString(display, screen);
	size_t length = std::strlen(name);
	for (const char *p = list; p && (p = std::strstr(p, name)); p += length) {
		bool starts = p == list || p[-1] == ' ';
		if (starts && (p[length] == ' ' || p[length] == '\0'))
			return true;
	}
	return false;
}

static void *glx_proc(Display *display, int screen, const char *extension, const char *name)
{
	if (!has_glx_extension(display, screen, extension))
		return nullptr;
	return reinterpret_cast<void *>(
	        glXGetProcAddressARB(reinterpret_cast<const GLubyte *>(name)));
}

// One swap a refresh where the GL can wait for it; the area's context must
// be current. Elsewhere the banner's own pacing is all there is.
static void ask_for_vsync(GtkWidget *area)
{
	Display *display = glx_area(area)->display;
	int screen = gdk_x11_screen_get_screen_number(gtk_widget_get_screen(area));
	if (void *p = glx_proc(display, screen, "GLX_MESA_swap_control", "glXSwapIntervalMESA")) {
		reinterpret_cast<SwapIntervalMESA>(p)(1);
	} else if (void *p = glx_proc(display, screen, "GLX_SGI_swap_control",
	                              "glXSwapIntervalSGI")) {
		reinterpret_cast<SwapIntervalSGI>(p)(1);
	} else if (void *p = glx_proc(display, screen, "GLX_EXT_swap_control",
	                              "glXSwapIntervalEXT")) {
		reinterpret_cast<SwapIntervalEXT>(p)(display, x_window(area), 1);
	}
}

// Allocations are in points; with a window scale of 2 the area's X window
// has twice as many pixels each way, and the frame fills them all.
static void reshape_in_pixels(GtkWidget *area, int width, int height)
{
	int scale = gtk_widget_get_scale_factor(area);
	banner::reshape(width * scale, height * scale);
}

// The area's window is an X window of its own, which GTK 3 leaves black
// where nothing paints it: without GL it takes the look of the window
// around it, as an empty area has on GTK+ 2.
static void paint_empty(GtkWidget *area, cairo_t *cr)
{
	GtkWidget *toplevel = gtk_widget_get_toplevel(area);
	int x = 0, y = 0;
	gtk_widget_translate_coordinates(area, toplevel, 0, 0, &x, &y);
	gtk_render_background(gtk_widget_get_style_context(toplevel), cr, -x, -y,
	                      gtk_widget_get_allocated_width(toplevel),
	                      gtk_widget_get_allocated_height(toplevel));
}

// After the default handler: the area's window exists by then.
static void make_context(GtkWidget *area, gpointer)
{
	GlxArea *gl = glx_area(area);
	// GLX draws on an X window of the area's own, not on a part of its
	// parent's, which is all GTK 3 gives a widget by default.
	if (gdk_window_ensure_native(gtk_widget_get_window(area)))
		gl->context = make_glx_context(area, *gl);
	let_gl_paint(area, gl->context != nullptr);
}

// Before the default handler, while the area's window is still there.
static void drop_context(GtkWidget *area, gpointer)
{
	glx_area(area)->drop_context();
}

void gl_keep_to_x11()
{
	gdk_set_allowed_backends("x11");
}

bool gl_toolkit_init(int *, char ***)
{
	return gl_available();
}

bool gl_available()
{
	GdkDisplay *display = gdk_display_get_default();
	int error_base, event_base;
	return display && GDK_IS_X11_DISPLAY(display) &&
	       glXQueryExtension(gdk_x11_display_get_xdisplay(display), &error_base, &event_base);
}

bool with_gl_context(GtkWidget *area, const std::function<void()> &work)
{
	GlxArea *gl = glx_area(area);
	if (!gl || !gl->context || !gtk_widget_get_realized(area) ||
	    !glXMakeCurrent(gl->display, x_window(area), gl->context))
		return false;
	work();
	return true;
}

void swap_gl_buffers(GtkWidget *area)
{
	glXSwapBuffers(glx_area(area)->display, x_window(area));
}

// GTK 3 allocates the area before it realises it: the configure-event of
// that size came while there was no context yet, so the viewport is set
// here too, or every frame would be drawn without a projection.
gboolean init_ext(GtkWidget *widget, gpointer)
{
	with_gl_context(widget, [widget] {
		banner::init();
		ask_for_vsync(widget);
		reshape_in_pixels(widget, gtk_widget_get_allocated_width(widget),
		                  gtk_widget_get_allocated_height(widget));
	});
	return TRUE;
}

gboolean reshape_ext(GtkWidget *widget, GdkEventConfigure *event, gpointer)
{
	with_gl_context(widget, [widget, event] {
		reshape_in_pixels(widget, event->width, event->height);
	});
	return TRUE;
}

gboolean draw_ext(GtkWidget *widget, GlPaint *paint, gpointer)
{
	bool drawn = with_gl_context(widget, [widget] {
		banner::draw(performance_counter());
		swap_gl_buffers(widget);
	});
	if (!drawn && paint)
		paint_empty(widget, paint);
	return TRUE;
}

GtkWidget *CreateGl_GtkGlExt()
{
	GtkWidget *area = gtk_drawing_area_new();
	gtk_widget_set_size_request(area, 300, 170);
	GdkScreen *screen = gtk_widget_get_screen(area);
	std::unique_ptr<GlxArea> gl = gl_available() ? choose_visual(screen) : nullptr;
	GdkVisual *visual =
	        gl ? gdk_x11_screen_lookup_visual(screen, gl->visual->visualid) : nullptr;
	if (visual) {
		// Before realisation: an X window's visual is set when it is made.
		gtk_widget_set_visual(area, visual);
		let_gl_paint(area, true);
		g_object_set_data_full(G_OBJECT(area), GLX_AREA_KEY, gl.release(), free_glx_area);
		g_signal_connect_after(area, "realize", G_CALLBACK(make_context), nullptr);
		g_signal_connect(area, "unrealize", G_CALLBACK(drop_context), nullptr);
	}
	g_signal_connect_after(area, "realize", G_CALLBACK(init_ext), nullptr);
	g_signal_connect(area, "configure-event", G_CALLBACK(reshape_ext), nullptr);
	g_signal_connect(area, gl_paint_signal, G_CALLBACK(draw_ext), nullptr);
	return area;
}
