#include "base/widgets.h"

#include <gdk/gdkx.h>
#include "base/regular_file.h"

#include <gmodule.h>

#include <cstdio>
#include <cstdlib>

ZelkWidgetRegistry ZelkWidget;
GladeXmlPtr gui_glade_xml;

// The interface file as read at start-up. Every window is built from this
// copy, so a file removed or replaced while the launcher runs (an upgrade)
// cannot take a sub-window, or the process, down with it.
static std::string interface_text;

void zelk_gui_error(const char *message)
{
	std::printf("%s\n", message);
	std::exit(1);
}

void zelk_widget_missing(const char *id)
{
	std::printf("libglade error : can't get *%s* widget\n", id);
	std::exit(1);
}

const std::string &zelk_interface_read()
{
	std::optional<std::string> text = read_regular_file(interface_file, interface_file_limit);
	if (!text)
		zelk_gui_error(interface_error);
	interface_text = std::move(*text);
	return interface_text;
}

GladeXmlPtr zelk_tree_load(const char *root)
{
	GladeXmlPtr tree(glade_xml_new_from_buffer(interface_text.data(),
	                                           int(interface_text.size()), root, nullptr));
	if (!tree)
		zelk_gui_error(interface_error);
	glade_xml_signal_autoconnect(tree.get());
	return tree;
}

GtkWidget *zelk_widget_load(GladeXML *tree, const char *id, GtkWidget **field)
{
	*field = glade_xml_get_widget(tree, id);
	if (!*field)
		zelk_widget_missing(id);
	return *field;
}

GtkWidget *zelk_optional_widget(GladeXML *tree, const WantedWidget &wanted)
{
	GtkWidget *widget = glade_xml_get_widget(tree, wanted.id);
	return widget && G_TYPE_CHECK_INSTANCE_TYPE(widget, wanted.kind()) ? widget : nullptr;
}

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
static GType type_named(const char *class_name)
{
	if (GType type = g_type_from_name(class_name))
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

bool class_is_kind(const char *class_name, GType kind)
{
	GType type = class_name ? type_named(class_name) : 0;
	return type && g_type_is_a(type, kind);
}

// Runs once the main window and everything in it are destroyed.
static void forget_main_window(gpointer, GObject *)
{
	ZelkWidget = {};
}

void zelk_main_window_load(GladeXML *tree, const char *id)
{
	zelk_widget_load(tree, id, &ZelkWidget.main);
	// Cleared at once, so that a sub-window closing meanwhile leaves it be.
	g_signal_connect(ZelkWidget.main, "destroy", G_CALLBACK(gtk_widget_destroyed),
	                 &ZelkWidget.main);
	g_object_weak_ref(G_OBJECT(ZelkWidget.main), forget_main_window, nullptr);
}

void set_main_sensitive(bool sensitive)
{
	if (ZelkWidget.main)
		gtk_widget_set_sensitive(ZelkWidget.main, sensitive);
}

void open_over_main(GtkWidget *window)
{
	gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(ZelkWidget.main));
	gtk_window_present(GTK_WINDOW(window));
}

// A window manager gives the keyboard back to a closed dialog's parent; on
// a display without one nobody would, and the launcher's keys would go
// nowhere. Asking for it is harmless where the manager does it anyway. The
// request carries the time now: the last key the launcher saw may be older
// than whatever gave the sub-window the keyboard, and the X server ignores
// a focus request older than the focus it has.
void back_to_main()
{
	set_main_sensitive(true);
	GtkWidget *main = ZelkWidget.main;
	if (!main || !gtk_widget_get_realized(main))
		return;
	guint32 now = gdk_x11_get_server_time(gtk_widget_get_window(main));
	gtk_window_present_with_time(GTK_WINDOW(main), now);
}

void show_message_over(GtkWidget *window, const char *text, const char *detail)
{
	GtkWidget *dialog = gtk_message_dialog_new(
	        GTK_WINDOW(window),
	        GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
	        GTK_MESSAGE_ERROR, GTK_BUTTONS_NONE, "%s", text);
	// Not the stock button, whose label follows the locale: the launcher
	// speaks French whatever the locale.
	gtk_dialog_add_button(GTK_DIALOG(dialog), "_Fermer", GTK_RESPONSE_CLOSE);
	if (detail)
		gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", detail);
	gtk_window_set_title(GTK_WINDOW(dialog), "Trovik");
	g_signal_connect(dialog, "response", G_CALLBACK(gtk_widget_destroy), nullptr);
	gtk_widget_show(dialog);
}

std::string displayable(const std::string &name)
{
	return GCharPtr(g_utf8_make_valid(name.c_str(), -1)).get();
}

std::optional<std::string> combo_active_text(GtkWidget *combo)
{
	GtkTreeIter iter;
	if (!gtk_combo_box_get_active_iter(GTK_COMBO_BOX(combo), &iter))
		return std::nullopt;
	gchar *raw = nullptr;
	gtk_tree_model_get(gtk_combo_box_get_model(GTK_COMBO_BOX(combo)), &iter, 0, &raw, -1);
	GCharPtr text(raw);
	return std::string(text ? text.get() : "");
}

static GtkWidget *find_below(GtkWidget *widget, const std::function<bool(GtkWidget *)> &match)
{
	if (match(widget))
		return widget;
	if (!GTK_IS_CONTAINER(widget))
		return nullptr;
	GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
	GtkWidget *found = nullptr;
	for (GList *l = children; l && !found; l = l->next)
		found = find_below(GTK_WIDGET(l->data), match);
	g_list_free(children);
	return found;
}

GtkWidget *find_in_popups(const std::function<bool(GtkWidget *)> &match)
{
	GList *windows = gtk_window_list_toplevels();
	GtkWidget *found = nullptr;
	for (GList *l = windows; l && !found; l = l->next)
		if (gtk_window_get_window_type(GTK_WINDOW(l->data)) == GTK_WINDOW_POPUP)
			found = find_below(GTK_WIDGET(l->data), match);
	g_list_free(windows);
	return found;
}
