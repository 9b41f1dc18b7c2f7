// The few calls GTK+ 2.24 and GTK 3 spell differently, written once. The
// rest of the launcher uses the spellings both have.
#pragma once

#include <gtk/gtk.h>

// The size `widget` asks for, at least: what a window lays it out with.
inline GtkRequisition wanted_size(GtkWidget *widget)
{
	GtkRequisition size = {0, 0};
#if GTK_CHECK_VERSION(3, 0, 0)
	gtk_widget_get_preferred_size(widget, &size, nullptr);
#else
	gtk_widget_size_request(widget, &size);
#endif
	return size;
}

// GTK+ 2 gives a widget its style only when its window is shown; GTK 3's
// style is there from the start.
inline void take_style_now(GtkWidget *widget)
{
#if GTK_CHECK_VERSION(3, 0, 0)
	(void)widget;
#else
	gtk_widget_ensure_style(widget);
#endif
}

// The height `cell` asks for in `widget`, as it is now set.
inline int cell_height(GtkCellRenderer *cell, GtkWidget *widget)
{
	int height = 0;
#if GTK_CHECK_VERSION(3, 0, 0)
	gtk_cell_renderer_get_preferred_height(cell, widget, &height, nullptr);
#else
	gtk_cell_renderer_get_size(cell, widget, nullptr, nullptr, nullptr, nullptr, &height);
#endif
	return height;
}
