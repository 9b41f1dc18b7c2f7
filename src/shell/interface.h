// The main window: start-up from the interface file, the registry of the
// widgets every handler works on, and the helpers that look widgets up.
#pragma once

#include <glade/glade.h>
#include <gtk/gtk.h>

#include <memory>
#include <optional>
#include <string>

struct GObjectUnref {
	void operator()(gpointer object) const { g_object_unref(object); }
};
using GladeXmlPtr = std::unique_ptr<GladeXML, GObjectUnref>;

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
extern GladeXmlPtr gui_glade_xml2; // "ajout", reloaded at every opening
extern GladeXmlPtr gui_glade_xml3; // "suppression", likewise

inline constexpr const char *interface_file = "gtktrovik.glade";
inline constexpr const char *interface_error = "zelk.glade loading error\n";

// Builds the main window with everything that hangs off it; a missing
// interface file or widget ends the process with status 1.
void zelk_gui_load();

// Loads the tree rooted at `root` from the interface file and connects its
// handlers; ends the process when the file cannot be loaded.
GladeXmlPtr zelk_tree_load(const char *root);

// Looks `id` up in `tree` and stores it in `field`; a missing widget ends
// the process with status 1.
GtkWidget *zelk_widget_load(GladeXML *tree, const char *id, GtkWidget **field);

[[noreturn]] void zelk_gui_error(const char *message);

// The text of column 0 of the active row, byte for byte; nothing when no
// row is active.
std::optional<std::string> combo_active_text(GtkWidget *combo);
