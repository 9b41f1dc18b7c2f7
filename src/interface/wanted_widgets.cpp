#include "interface/wanted_widgets.h"

#include "interface/interface_file.h"

#include <gmodule.h>

#if GTK_CHECK_VERSION(3, 0, 0)
#include "interface/builder_xml.h"
#endif

#include <string>

// The name of the function that registers the class `class_name`, as the
// toolkit spells it: GtkHBox, gtk_hbox_get_type; GtkComboBoxEntry,
// gtk_combo_box_entry_get_type.
static std::string type_function_name(const std::string &class_name)
{
	std::string name;
	auto upper = [&](std::size_t i) { return g_ascii_isupper(class_name[i]) != 0; };
	for (std::size_t i = 0; i < class_name.size(); i++) {
		bool word_starts = upper(i) && i > 0 && !upper(i - 1);
		bool after_capitals = upper(i) && i > 2 && upper(i - 1) && upper(i - 2);
		if (word_starts || after_capitals)
			name += '_';
		name += g_ascii_tolower(class_name[i]);
	}
	return name + "_get_type";
}

// A class no code has asked for yet is not registered: it is looked up by
// its registering function, as the interface loader does when it builds
// the widget.
static GType type_named(const std::string &class_name)
{
	if (GType type = g_type_from_name(class_name.c_str()))
		return type;
	GModule *program = g_module_open(nullptr, GModuleFlags(0));
	gpointer function = nullptr;
	GType type = 0;
	if (program && g_module_symbol(program, type_function_name(class_name).c_str(), &function))
		type = reinterpret_cast<GType (*)()>(function)();
	if (program)
		g_module_close(program);
	return type;
}

bool widget_is_kind(const GladeWidget &widget, GType kind)
{
	// GTK 3 builds some of libglade's classes as others (GtkHBox as a
	// horizontal GtkBox, a GtkComboBox with items as a GtkComboBoxText):
	// the kind is that of the widget the launcher will be given.
#if GTK_CHECK_VERSION(3, 0, 0)
	GType type = type_named(gtk3_class_name(widget));
#else
	GType type = type_named(widget.class_name);
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
