// The player selector's drop-down list on GTK 3. GTK 3 makes a menu item
// for every row of a combo box up front, and as a list asks X for a window
// as tall as all its rows, which X refuses past 32,767 pixels: about 2,000
// players. This list is a scrolled view of a few rows of one height, over
// the selector's own rows, that costs the same for ten players or ten
// thousand.
#pragma once

#include <gtk/gtk.h>

// From now on `combo` drops down this list however it is asked to: by
// gtk_combo_box_popup(), the keyboard or a click. Its rows are one line of
// text, column 0 of its model, and its cell has a fixed size: closed, it
// measures only the row it shows. A row is chosen by a click or Return; the
// list goes on Escape, a click elsewhere, the keyboard taken by another
// program, or its window hidden. Called before the rows go in.
void drop_down_own_list(GtkWidget *combo);
