// The "resolution" selector, closed, names the mode of the chosen item; the
// item's own text, which the game receives, stays as it is in the model.
#pragma once

#include <gtk/gtk.h>

void show_mode_when_closed(GtkWidget *resolution);
