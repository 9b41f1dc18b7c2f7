// The banner's drawing area, one header for both toolkits: gtkglext.cpp
// makes it through GtkGLExt on GTK+ 2, glx.cpp through GLX on the area's own
// X window on GTK 3. Its handlers run the renderer of gl.h with the area's
// GL context current. Whatever else needs GL on the display (start-up, the
// tests, the benchmarks) asks here rather than the toolkit.
#pragma once

#include <gtk/gtk.h>

#include <functional>

#if GTK_CHECK_VERSION(3, 0, 0)
// GTK 3 paints in "draw" and hands a cairo context over; GTK+ 2 paints in
// "expose-event" and hands the exposed region over. draw_ext reads neither.
using GlPaint = cairo_t;
inline constexpr char gl_paint_signal[] = "draw";
#else
using GlPaint = GdkEventExpose;
inline constexpr char gl_paint_signal[] = "expose-event";
#endif

// Before gtk_init: GDK keeps to its X11 backend, the one GLX draws on (on a
// Wayland desktop, through XWayland). GTK+ 2 has no other.
void gl_keep_to_x11();

// After gtk_init: what the toolkit's GL needs set up. False where the
// display offers no GL; every area is then an empty one.
bool gl_toolkit_init(int *argc, char ***argv);

// Whether the default display offers GL at all. A context may still be
// refused: an area knows that only once it is realised.
bool gl_available();

// A new 300x170 area, neither packed nor shown. Without usable GL it is an
// empty area whose handlers do nothing.
GtkWidget *CreateGl_GtkGlExt();

// Each returns TRUE, also when the context cannot be made current.
gboolean init_ext(GtkWidget *widget, gpointer data);
gboolean reshape_ext(GtkWidget *widget, GdkEventConfigure *event, gpointer data);
gboolean draw_ext(GtkWidget *widget, GlPaint *paint, gpointer data);

// Runs `work` with the GL context of `area`, an area of CreateGl_GtkGlExt(),
// current; false, without running it, where the area has none (unrealised,
// or no GL to be had).
bool with_gl_context(GtkWidget *area, const std::function<void()> &work);

// Shows what was drawn into the back buffer of `area`, whose context is
// current.
void swap_gl_buffers(GtkWidget *area);
