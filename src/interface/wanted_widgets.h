// What the launcher asks of the interface file's widgets, and the check of
// a file for them at start-up, before any window is built.
#pragma once

#include "interface/glade_file.h"
#include "interface/interface_tree.h"

#include <gtk/gtk.h>

#include <vector>

// What the launcher asks of one widget of the interface file. Each window
// lists its widgets, its own first; a file without a required one, or
// with one of another kind, is refused at start-up, and one without an
// optional one does without what it adds.
struct WantedWidget {
	const char *id;
	GType (*kind)();
	bool required;
};

// Ends the process with the line that names the first required widget
// missing from `file` or of another kind, window after window in the order
// given: a file that lacks one is refused now, rather than leaving a window
// half made or failing on the click that opens a sub-window.
void check_interface(const GladeFile &file,
                     const std::vector<const std::vector<WantedWidget> *> &windows);

// The widget of `wanted` in `tree`; null when the window has none of its
// kind, which is as good as none.
GtkWidget *zelk_optional_widget(const InterfaceTree &tree, const WantedWidget &wanted);

// Builds the window `root` of the file as read, its handlers connected;
// ends the process when it cannot be built.
InterfaceTreePtr zelk_tree_load(const char *root);

// Looks `id` up in `tree` and stores it in `field`; a missing widget ends
// the process with status 1.
GtkWidget *zelk_widget_load(const InterfaceTree &tree, const char *id, GtkWidget **field);
