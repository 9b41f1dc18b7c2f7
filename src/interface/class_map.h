// The classes of a libglade file as GTK 3 knows them: what GTK 3 renamed
// or folded into another class, and the internal children it offers.
#pragma once

#include "interface/class_catalog.h"
#include "interface/glade_file.h"

#include <string>

struct Gtk3Class {
	std::string name;
	// "horizontal" or "vertical" for the H and V classes GTK 3 folded into
	// one; null otherwise.
	const char *orientation = nullptr;
	bool has_entry = false; // the combo boxes with an entry of their own
	// A class GTK 3 has no form of, replaced by a plain one: its internal
	// children become ordinary ones.
	bool internal_children_promoted = false;
};

// The GTK 3 class a libglade widget becomes: GtkHBox a horizontal GtkBox, a
// GtkComboBox with "items" a GtkComboBoxText, GtkComboBoxEntry a
// GtkComboBoxText with an entry, a class GTK 3 removed its nearest kind.
// Other classes keep their name, whether GTK 3 has them or not.
Gtk3Class gtk3_class(const GladeWidget &widget);

// Whether an object of `class_name` (with an entry or not) offers the
// internal child `name`, as GtkBuilder asks it.
bool offers_internal_child(const std::string &class_name, bool has_entry, const std::string &name,
                           const ClassCatalog &catalog);
