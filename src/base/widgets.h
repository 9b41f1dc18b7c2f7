// The registry of the main window's widgets, which every handler works on,
// the interface file every window is built from, and the helpers that look
// widgets up. Start-up fills the registry; it empties itself when the main
// window goes. The sub-windows keep their own widgets.
#pragma once

#include "base/glib_ptr.h"

#include <glade/glade.h>
#include <gtk/gtk.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

using GladeXmlPtr = GObjectPtr<GladeXML>;

// Plain handles, owned by the toolkit; all null while there is no main
// window.
struct ZelkWidgetRegistry {
	GtkWidget *main;
	GtkWidget *langue;
	GtkWidget *resolution;
	GtkWidget *joueur;
	GtkWidget *nbretoiles;
	GtkWidget *checkbutton4;
	GtkWidget *checkbutton3;
	GtkWidget *vbox1;
	GtkWidget *gl_area;
	GtkWidget *jouer;       // "bouton_jouer"
	GtkWidget *aide_joueur; // the line under the selector
};

extern ZelkWidgetRegistry ZelkWidget;
extern GladeXmlPtr gui_glade_xml; // "main"

inline constexpr const char *interface_file = "gtktrovik.glade";
inline constexpr const char *interface_error = "zelk.glade loading error\n";

// Far above any real interface file, which is some tens of kilobytes: a
// longer one is no interface file, and must not take the memory with it.
inline constexpr std::size_t interface_file_limit = 4 * 1024 * 1024;

// What the launcher asks of one widget of the interface file. Each window
// lists its widgets, its own first; a file without a required one, or
// with one of another kind, is refused at start-up, and one without an
// optional one does without what it adds.
struct WantedWidget {
	const char *id;
	GType (*kind)();
	bool required;
};

// Whether the class the interface file gives a widget is `kind` or one of
// its kinds.
bool class_is_kind(const char *class_name, GType kind);

// Reads the interface file once, for every window built later; ends the
// process when it cannot be read, or is no regular file of at most
// interface_file_limit bytes.
const std::string &zelk_interface_read();

// Builds the tree rooted at `root` from the interface file as read, and
// connects its handlers; ends the process when it cannot be built.
GladeXmlPtr zelk_tree_load(const char *root);

// Looks `id` up in `tree` and stores it in `field`; a missing widget ends
// the process with status 1.
GtkWidget *zelk_widget_load(GladeXML *tree, const char *id, GtkWidget **field);

// Looks the main window up as `id` into the registry, which forgets every
// widget once that window is gone.
void zelk_main_window_load(GladeXML *tree, const char *id);

// The widget of `wanted` in `tree`; null when the file has none of its kind,
// which is as good as none.
GtkWidget *zelk_optional_widget(GladeXML *tree, const WantedWidget &wanted);

[[noreturn]] void zelk_widget_missing(const char *id);
[[noreturn]] void zelk_gui_error(const char *message);

// The text of column 0 of the active row, byte for byte; nothing when no
// row is active.
std::optional<std::string> combo_active_text(GtkWidget *combo);

// A sub-window greys the main window out while it is open, and gives it
// back the keyboard when it closes. The main window may be gone by the time
// a sub-window closes.
void set_main_sensitive(bool sensitive);
void open_over_main(GtkWidget *window);
void back_to_main();

// Says `text`, with `detail` under it when given, in a small French dialog
// over `window`: for a failure the window itself has no place to say.
void show_message_over(GtkWidget *window, const char *text, const char *detail = nullptr);

// Names are any bytes but '/' and NUL; what the window shows of one is made
// valid UTF-8, so that a stray byte cannot garble it.
std::string displayable(const std::string &name);

// The first widget, depth first, that `match` accepts in the process's
// pop-up windows, where a combo box keeps its list or menu.
GtkWidget *find_in_popups(const std::function<bool(GtkWidget *)> &match);
