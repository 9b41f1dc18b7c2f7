// The banner's drawing area: a GtkGLExt-capable GtkDrawingArea whose
// handlers run the renderer of gl.h with the area's GL context current.
#pragma once

#include <gtk/gtk.h>

// A new 300x170 area, neither packed nor shown. Without usable GL it is an
// empty area whose handlers do nothing.
GtkWidget *CreateGl_GtkGlExt();

// Each returns TRUE, also when the context cannot be made current.
gboolean init_ext(GtkWidget *widget, gpointer data);
gboolean reshape_ext(GtkWidget *widget, GdkEventConfigure *event, gpointer data);
gboolean draw_ext(GtkWidget *widget, GdkEventExpose *event, gpointer data);
