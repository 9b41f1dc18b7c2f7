// The registry of the widgets every handler works on, the interface file
// they are built from, and the helpers that look widgets up. Start-up fills
// it; the profile windows and the game launch work on it.
#pragma once

#include "base/glib_ptr.h"

#include <glade/glade.h>
#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <string>

using GladeXmlPtr = GObjectPtr<GladeXML>;

// Plain handles, owned by the toolkit. A field is null while its window is
// not open.
struct ZelkWidgetRegistry {
	GtkWidget *main;
	GtkWidget *ajout;
	GtkWidget *suppression;
	GtkWidget *langue;
	GtkWidget *resolution;
	GtkWidget *joueur;
	GtkListStore *liste_joueurs;
	GtkWidget *label22;
	GtkWidget *nbretoiles;
	GtkWidget *checkbutton4;
	GtkWidget *checkbutton3;
	GtkWidget *entry1;
	GtkWidget *vbox1;
	GtkWidget *gl_area;
	GtkWidget *jouer;       // "bouton_jouer"
	GtkWidget *aide_joueur; // the line under the selector
};

extern ZelkWidgetRegistry ZelkWidget;
extern GladeXmlPtr gui_glade_xml;  // "main"
extern GladeXmlPtr gui_glade_xml2; // "ajout", built anew at every opening
extern GladeXmlPtr gui_glade_xml3; // "suppression", likewise

inline constexpr const char *interface_file = "gtktrovik.glade";
inline constexpr const char *interface_error = "zelk.glade loading error\n";

// Reads the interface file once, for every window built later; ends the
// process when it cannot be read.
const std::string &zelk_interface_read();

// Builds the tree rooted at `root` from the interface file as read, and
// connects its handlers; ends the process when it cannot be built.
GladeXmlPtr zelk_tree_load(const char *root);

// Looks `id` up in `tree` and stores it in `field`; a missing widget ends
// the process with status 1.
GtkWidget *zelk_widget_load(GladeXML *tree, const char *id, GtkWidget **field);

[[noreturn]] void zelk_widget_missing(const char *id);
[[noreturn]] void zelk_gui_error(const char *message);

// The text of column 0 of the active row, byte for byte; nothing when no
// row is active.
std::optional<std::string> combo_active_text(GtkWidget *combo);

// The first widget, depth first, that `match` accepts in the process's
// pop-up windows, where a combo box keeps its list or menu.
GtkWidget *find_in_popups(const std::function<bool(GtkWidget *)> &match);
