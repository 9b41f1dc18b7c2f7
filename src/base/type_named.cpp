#include "base/type_named.h"

#include <gmodule.h>

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

// "Gtk", a capital, then letters and digits: nothing else can name a GTK
// class.
static bool is_gtk_class_name(const char *name)
{
	if (g_str_has_prefix(name, "Gtk") == FALSE || !g_ascii_isupper(name[3]))
		return false;
	for (const char *c = name; *c; c++)
		if (!g_ascii_isalnum(*c))
			return false;
	return true;
}

GType type_named(const char *class_name)
{
	if (GType type = g_type_from_name(class_name))
		return type;
	if (!is_gtk_class_name(class_name))
		return 0;
	GModule *program = g_module_open(nullptr, GModuleFlags(0));
	gpointer function = nullptr;
	GType type = 0;
	if (program && g_module_symbol(program, type_function_name(class_name).c_str(), &function))
		type = reinterpret_cast<GType (*)()>(function)();
	if (program)
		g_module_close(program);
	// A registering function registers the class it is named after.
	return type && g_strcmp0(g_type_name(type), class_name) == 0 ? type : 0;
}
