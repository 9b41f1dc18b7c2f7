// A text cell for rows that are all one size: once its width and height are
// fixed (gtk_cell_renderer_set_fixed_size), asking it for its size costs no
// layout of its text. It draws as the toolkit's text cell does.
#pragma once

#include <gtk/gtk.h>

GtkCellRenderer *fixed_text_cell_new();
bool is_fixed_text_cell(GtkCellRenderer *cell);
