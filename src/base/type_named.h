// A toolkit class found by the name an interface file gives it, as the
// interface loaders find it.
#pragma once

#include <glib-object.h>

// The type called `class_name`, or 0. A class no code has asked for yet is
// not registered: it is looked up by its registering function,
// gtk_hbox_get_type for GtkHBox. Only GTK's own classes are looked up so:
// another library's function of that form need not register anything
// (cairo_surface_get_type takes a surface), and the name comes from a file.
GType type_named(const char *class_name);
