#include "interface/class_map.h"

namespace {

struct Replacement {
	const char *libglade;
	const char *gtk3;
	const char *orientation;
	bool has_entry;
	bool internal_children_promoted;
};

struct InternalChild {
	const char *owner;
	const char *name;
};

} // namespace

// GTK 3 folded the H and V classes into one with an orientation, and
// removed classes GTK+ 2 had kept from GTK+ 1 and GNOME 2 offered: each
// becomes its nearest kind in GTK 3, so that what it holds, its id and its
// handlers still stand.
static const Replacement replacements[] = {
        {"GtkHBox", "GtkBox", "horizontal", false, false},
        {"GtkVBox", "GtkBox", "vertical", false, false},
        {"GtkHButtonBox", "GtkButtonBox", "horizontal", false, false},
        {"GtkVButtonBox", "GtkButtonBox", "vertical", false, false},
        {"GtkHSeparator", "GtkSeparator", "horizontal", false, false},
        {"GtkVSeparator", "GtkSeparator", "vertical", false, false},
        {"GtkHPaned", "GtkPaned", "horizontal", false, false},
        {"GtkVPaned", "GtkPaned", "vertical", false, false},
        {"GtkHScale", "GtkScale", "horizontal", false, false},
        {"GtkVScale", "GtkScale", "vertical", false, false},
        {"GtkHScrollbar", "GtkScrollbar", "horizontal", false, false},
        {"GtkVScrollbar", "GtkScrollbar", "vertical", false, false},
        {"GtkComboBoxEntry", "GtkComboBoxText", nullptr, true, false},
        {"GtkCombo", "GtkComboBoxText", nullptr, true, false},
        {"GtkOptionMenu", "GtkComboBoxText", nullptr, false, false},
        {"GtkCList", "GtkTreeView", nullptr, false, false},
        {"GtkCTree", "GtkTreeView", nullptr, false, false},
        {"GtkList", "GtkTreeView", nullptr, false, false},
        {"GtkTree", "GtkTreeView", nullptr, false, false},
        {"GtkText", "GtkTextView", nullptr, false, false},
        {"GtkPixmap", "GtkImage", nullptr, false, false},
        {"GtkPreview", "GtkDrawingArea", nullptr, false, false},
        {"GtkCurve", "GtkDrawingArea", nullptr, false, false},
        {"GtkHRuler", "GtkDrawingArea", nullptr, false, false},
        {"GtkVRuler", "GtkDrawingArea", nullptr, false, false},
        {"GtkGammaCurve", "GtkBox", "vertical", false, false},
        {"GtkTipsQuery", "GtkLabel", nullptr, false, false},
        {"GtkFileSelection", "GtkFileChooserDialog", nullptr, false, false},
        {"GtkInputDialog", "GtkDialog", nullptr, false, false},
        {"GnomeApp", "GtkWindow", nullptr, false, true},
        {"BonoboDock", "GtkBox", "vertical", false, false},
        {"BonoboDockItem", "GtkBox", "horizontal", false, false},
        {"GnomeAppBar", "GtkStatusbar", nullptr, false, false},
        {"GnomeDialog", "GtkDialog", nullptr, false, false},
        {"GnomePropertyBox", "GtkDialog", nullptr, false, false},
        {"GnomeMessageBox", "GtkMessageDialog", nullptr, false, false},
        {"GnomeAbout", "GtkAboutDialog", nullptr, false, false},
        {"GnomePixmap", "GtkImage", nullptr, false, false},
        {"GnomeHRef", "GtkLinkButton", nullptr, false, false},
        {"GnomeEntry", "GtkComboBoxText", nullptr, true, false},
};

// Checked against GTK 3.24 with gtk_buildable_get_internal_child().
static const InternalChild internal_children[] = {
        {"GtkDialog", "vbox"},
        {"GtkDialog", "action_area"},
        {"GtkMessageDialog", "message_area"},
        {"GtkColorSelectionDialog", "color_selection"},
        {"GtkColorSelectionDialog", "ok_button"},
        {"GtkColorSelectionDialog", "cancel_button"},
        {"GtkColorSelectionDialog", "help_button"},
        {"GtkFontSelectionDialog", "font_selection"},
        {"GtkFontSelectionDialog", "ok_button"},
        {"GtkFontSelectionDialog", "cancel_button"},
        {"GtkFontSelectionDialog", "apply_button"},
        {"GtkInfoBar", "content_area"},
        {"GtkInfoBar", "action_area"},
        {"GtkAssistant", "action_area"},
};

Gtk3Class gtk3_class(const GladeWidget &widget)
{
	for (const Replacement &r : replacements)
		if (widget.class_name == r.libglade)
			return {r.gtk3, r.orientation, r.has_entry, r.internal_children_promoted};
	// libglade makes a combo box with "items" a list of texts.
	if (widget.class_name == "GtkComboBox" && find_property(widget.properties, "items"))
		return {"GtkComboBoxText"};
	return {widget.class_name};
}

bool offers_internal_child(const std::string &class_name, bool has_entry, const std::string &name,
                           const ClassCatalog &catalog)
{
	if (name == "entry")
		return has_entry && catalog.is_a(class_name, "GtkComboBox");
	for (const InternalChild &child : internal_children)
		if (name == child.name && catalog.is_a(class_name, child.owner))
			return true;
	return false;
}
