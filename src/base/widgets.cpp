#include "base/widgets.h"

#include "base/regular_file.h"

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
