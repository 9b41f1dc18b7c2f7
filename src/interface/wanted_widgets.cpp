#include "interface/wanted_widgets.h"

#include "base/type_named.h"
#include "interface/interface_file.h"

#if GTK_CHECK_VERSION(3, 0, 0)
#include "interface/class_map.h"
#endif

#include <string>

// Whether the class the file gives `widget`, as this toolkit builds it, is
// `kind` or one of its kinds.
static bool widget_is_kind(const GladeWidget &widget, GType kind)
{
	// GTK 3 builds some of libglade's classes as others (GtkHBox as a
	// horizontal GtkBox, a GtkComboBox with items as a GtkComboBoxText):
	// the kind is that of the widget the launcher will be given.
#if GTK_CHECK_VERSION(3, 0, 0)
	GType type = type_named(gtk3_class(widget).name.c_str());
#else
	GType type = type_named(widget.class_name.c_str());
#endif
	return type && g_type_is_a(type, kind);
}

static bool has_widget(const GladeWidget *root, const WantedWidget &wanted)
{
	const GladeWidget *found = root ? find_widget(*root, wanted.id) : nullptr;
	return found && widget_is_kind(*found, wanted.kind());
}

void check_interface(const GladeFile &file,
                     const std::vector<const std::vector<WantedWidget> *> &windows)
{
	for (const std::vector<WantedWidget> *wanted_list : windows) {
		const GladeWidget *root = find_toplevel(file, wanted_list->front().id);
		for (const WantedWidget &wanted : *wanted_list)
			if (wanted.required && !has_widget(root, wanted))
				zelk_widget_missing(wanted.id);
	}
}

GtkWidget *zelk_optional_widget(const InterfaceTree &tree, const WantedWidget &wanted)
{
	GtkWidget *widget = tree.widget(wanted.id);
	return widget && G_TYPE_CHECK_INSTANCE_TYPE(widget, wanted.kind()) ? widget : nullptr;
}

InterfaceTreePtr zelk_tree_load(const char *root)
{
	InterfaceTreePtr tree = InterfaceTree::build(root);
	if (!tree)
		zelk_gui_error(interface_error);
	return tree;
}

GtkWidget *zelk_widget_load(const InterfaceTree &tree, const char *id, GtkWidget **field)
{
	*field = tree.widget(id);
	if (!*field)
		zelk_widget_missing(id);
	return *field;
}
