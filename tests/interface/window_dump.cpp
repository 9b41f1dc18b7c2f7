// Describes each window of an interface file as built, one line a widget
// named after its id, in a form both toolkits give alike: built by
// libglade on GTK+ 2 (DUMP_LIBGLADE), or converted and built by GtkBuilder
// on GTK 3. compare_dumps.sh compares the two.
//   dump_gtk3|dump_libglade FILE
#include "interface/glade_file.h"

// The dumper reads what the deprecated widgets of both toolkits hold.
#define GDK_DISABLE_DEPRECATION_WARNINGS
#include <gtk/gtk.h>
#ifdef DUMP_LIBGLADE
#include <glade/glade.h>
#else
#include "interface/builder_xml.h"
#include "interface/gtk3_catalog.h"
#endif

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Dump {
	GObject *tree = nullptr; // the GladeXML or the GtkBuilder
	std::map<GObject *, std::vector<std::string>> handlers;
	std::map<std::string, std::string> lines; // by id, so that order does not count
};

} // namespace

// The classes both toolkits have, the most derived first.
static const char families[] =
        "GtkMessageDialog GtkDialog GtkWindow GtkComboBox GtkButtonBox GtkStatusbar GtkBox "
        "GtkTable GtkPaned GtkNotebook GtkFrame GtkExpander GtkScrolledWindow GtkAlignment "
        "GtkMenuBar GtkMenu GtkSeparatorMenuItem GtkImageMenuItem GtkRadioMenuItem "
        "GtkCheckMenuItem GtkMenuItem GtkToolbar GtkToggleToolButton GtkToolButton "
        "GtkSeparatorToolItem GtkRadioButton GtkCheckButton GtkToggleButton GtkButton "
        "GtkSpinButton GtkEntry GtkScale GtkScrollbar GtkSeparator GtkImage GtkLabel "
        "GtkTextView GtkContainer GtkWidget";

static std::string family(GtkWidget *widget)
{
	std::istringstream names(families);
	for (std::string name; names >> name;)
		if (GType type = g_type_from_name(name.c_str());
		    type && G_TYPE_CHECK_INSTANCE_TYPE(widget, type))
			return name;
	return "?";
}

static std::string id_of(gpointer object)
{
	if (!object || !GTK_IS_WIDGET(object))
		return "-";
#ifdef DUMP_LIBGLADE
	const char *id = glade_get_widget_name(GTK_WIDGET(object));
#else
	const char *id = gtk_buildable_get_name(GTK_BUILDABLE(object));
#endif
	// Only the file's widgets: both toolkits name them after their id.
	return id && g_strcmp0(id, gtk_widget_get_name(GTK_WIDGET(object))) == 0 ? id : "";
}

// The nearest ancestor of the file's: GTK 3 puts boxes of its own between
// a dialog's box and its action area.
static GtkWidget *named_parent(GtkWidget *widget)
{
	GtkWidget *up = GTK_IS_MENU(widget) ? gtk_menu_get_attach_widget(GTK_MENU(widget))
	                                    : gtk_widget_get_parent(widget);
	while (up && id_of(up).empty())
		up = gtk_widget_get_parent(up);
	return up;
}

static std::string text(const char *value)
{
	return value ? std::string("\"") + value + "\"" : "null";
}

static std::string child_place(GtkWidget *widget)
{
	GtkWidget *parent = gtk_widget_get_parent(widget);
	std::string place;
	auto child_int = [&](const char *name) {
		gint value = 0;
		gtk_container_child_get(GTK_CONTAINER(parent), widget, name, &value, NULL);
		place += std::string(" ") + name + "=" + std::to_string(value);
	};
	if (GTK_IS_BOX(parent)) {
		for (const char *name : {"expand", "fill", "padding", "pack-type", "position"})
			child_int(name);
	} else if (GTK_IS_TABLE(parent)) {
		for (const char *name :
		     {"left-attach", "right-attach", "top-attach", "bottom-attach", "x-options",
		      "y-options", "x-padding", "y-padding"})
			child_int(name);
	} else if (GTK_IS_NOTEBOOK(parent) &&
	           gtk_notebook_page_num(GTK_NOTEBOOK(parent), widget) < 0) {
		for (int i = 0; i < gtk_notebook_get_n_pages(GTK_NOTEBOOK(parent)); i++) {
			GtkWidget *page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(parent), i);
			if (gtk_notebook_get_tab_label(GTK_NOTEBOOK(parent), page) == widget)
				place += " tab-of=" + id_of(page);
		}
	} else if (GTK_IS_FRAME(parent) &&
	           gtk_frame_get_label_widget(GTK_FRAME(parent)) == widget) {
		place += " frame-label";
	} else if (GTK_IS_EXPANDER(parent) &&
	           gtk_expander_get_label_widget(GTK_EXPANDER(parent)) == widget) {
		place += " expander-label";
	}
	return place;
}

static std::string combo_items(GtkWidget *widget)
{
	GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(widget));
	std::string items =
	        " entry=" + std::to_string(gtk_bin_get_child(GTK_BIN(widget)) &&
	                                   GTK_IS_ENTRY(gtk_bin_get_child(GTK_BIN(widget))));
	if (!model || gtk_tree_model_get_n_columns(model) < 1 ||
	    gtk_tree_model_get_column_type(model, 0) != G_TYPE_STRING)
		return items + " items=none";
	items += " items=";
	GtkTreeIter iter;
	for (gboolean more = gtk_tree_model_get_iter_first(model, &iter); more;
	     more = gtk_tree_model_iter_next(model, &iter)) {
		gchar *item = nullptr;
		gtk_tree_model_get(model, &iter, 0, &item, -1);
		items += text(item) + ",";
		g_free(item);
	}
	return items;
}

static std::string radio_group(GSList *group)
{
	std::set<std::string> ids;
	for (GSList *member = group; member; member = member->next)
		ids.insert(id_of(member->data));
	std::string text = " group=";
	for (const std::string &id : ids)
		text += id + ",";
	return text;
}

static std::string adjustment(GtkAdjustment *a)
{
	std::ostringstream d;
	d << " adjustment=";
	for (double v : {gtk_adjustment_get_value(a), gtk_adjustment_get_lower(a),
	                 gtk_adjustment_get_upper(a), gtk_adjustment_get_step_increment(a),
	                 gtk_adjustment_get_page_increment(a), gtk_adjustment_get_page_size(a)})
		d << v << "/";
	return d.str();
}

static std::string kind_details(GtkWidget *widget)
{
	std::string d;
	if (GTK_IS_WINDOW(widget))
		d += " title=" + text(gtk_window_get_title(GTK_WINDOW(widget)));
	if (GTK_IS_LABEL(widget))
		d += " label=" + text(gtk_label_get_label(GTK_LABEL(widget))) +
		     " mnemonic=" + id_of(gtk_label_get_mnemonic_widget(GTK_LABEL(widget)));
	if (GTK_IS_BUTTON(widget))
		d += " label=" + text(gtk_button_get_label(GTK_BUTTON(widget))) +
		     " stock=" + std::to_string(gtk_button_get_use_stock(GTK_BUTTON(widget)));
	if (GTK_IS_TOGGLE_BUTTON(widget))
		d += " active=" +
		     std::to_string(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)));
	if (GTK_IS_RADIO_BUTTON(widget))
		d += radio_group(gtk_radio_button_get_group(GTK_RADIO_BUTTON(widget)));
	if (GTK_IS_MENU_ITEM(widget)) {
		// libglade makes an item's label itself, without the property.
		GtkWidget *label = gtk_bin_get_child(GTK_BIN(widget));
		d += " label=" +
		     text(GTK_IS_LABEL(label) ? gtk_label_get_label(GTK_LABEL(label)) : nullptr) +
		     " submenu=" + id_of(gtk_menu_item_get_submenu(GTK_MENU_ITEM(widget)));
	}
	if (GTK_IS_CHECK_MENU_ITEM(widget))
		d += " active=" +
		     std::to_string(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(widget)));
	if (GTK_IS_RADIO_MENU_ITEM(widget))
		d += radio_group(gtk_radio_menu_item_get_group(GTK_RADIO_MENU_ITEM(widget)));
	if (GTK_IS_IMAGE_MENU_ITEM(widget))
		d += " image=" + id_of(gtk_image_menu_item_get_image(GTK_IMAGE_MENU_ITEM(widget)));
	if (GTK_IS_TOOL_BUTTON(widget))
		d += " label=" + text(gtk_tool_button_get_label(GTK_TOOL_BUTTON(widget))) +
		     " stock=" + text(gtk_tool_button_get_stock_id(GTK_TOOL_BUTTON(widget)));
	if (GTK_IS_COMBO_BOX(widget))
		d += combo_items(widget);
	if (GTK_IS_SPIN_BUTTON(widget) || GTK_IS_RANGE(widget))
		d += adjustment(GTK_IS_RANGE(widget)
		                        ? gtk_range_get_adjustment(GTK_RANGE(widget))
		                        : gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(widget)));
	if (GTK_IS_BOX(widget) || GTK_IS_PANED(widget) || GTK_IS_RANGE(widget) ||
	    GTK_IS_SEPARATOR(widget))
		d += " orientation=" +
		     std::to_string(gtk_orientable_get_orientation(GTK_ORIENTABLE(widget)));
	return d;
}

// What the file declares of `widget`'s accessible object, as found there;
// GTK 3 adds relations and descriptions of its own, which do not count.
static std::string accessibility(GtkWidget *widget, const GladeWidget &declared,
                                 const std::vector<GtkWidget *> &all)
{
	AtkObject *atk = gtk_widget_get_accessible(widget);
	std::string d;
	for (const GladeProperty &property : declared.accessibility.properties) {
		bool name = property.name.find("name") != std::string::npos;
		d += " atk-" + std::string(name ? "name=" : "description=") +
		     text(name ? atk_object_get_name(atk) : atk_object_get_description(atk));
	}
	AtkRelationSet *set = atk_object_ref_relation_set(atk);
	for (const GladeAtkRelation &declared_relation : declared.accessibility.relations) {
		AtkRelationType type = atk_relation_type_for_name(declared_relation.type.c_str());
		AtkRelation *relation =
		        set ? atk_relation_set_get_relation_by_type(set, type) : nullptr;
		GPtrArray *targets = relation ? atk_relation_get_target(relation) : nullptr;
		d += " " + declared_relation.type + "=";
		for (guint t = 0; targets && t < targets->len; t++)
			for (GtkWidget *other : all)
				if (gtk_widget_get_accessible(other) == targets->pdata[t])
					d += id_of(other) + ",";
	}
	if (set)
		g_object_unref(set);
	return d;
}

// Every widget from `widget` down, menus under their items.
static void collect(GtkWidget *widget, gpointer all)
{
	static_cast<std::vector<GtkWidget *> *>(all)->push_back(widget);
	if (GTK_IS_CONTAINER(widget))
		gtk_container_forall(GTK_CONTAINER(widget), collect, all);
	if (GTK_IS_MENU_ITEM(widget) && gtk_menu_item_get_submenu(GTK_MENU_ITEM(widget)))
		collect(gtk_menu_item_get_submenu(GTK_MENU_ITEM(widget)), all);
}

static GtkWidget *dialog_of(GtkWidget *widget)
{
	for (GtkWidget *up = gtk_widget_get_parent(widget); up; up = gtk_widget_get_parent(up))
		if (GTK_IS_DIALOG(up))
			return up;
	return nullptr;
}

static std::string tooltip(GtkWidget *widget)
{
	gchar *tip = gtk_widget_get_tooltip_text(widget);
	// GTK+ 2 gives a tool button's tooltip to the button inside it.
	if (!tip && GTK_IS_TOOL_BUTTON(widget) && gtk_bin_get_child(GTK_BIN(widget)))
		tip = gtk_widget_get_tooltip_text(gtk_bin_get_child(GTK_BIN(widget)));
	std::string shown = text(tip);
	g_free(tip);
	return shown;
}

static void describe(Dump &dump, GtkWidget *root, const GladeWidget &window)
{
	std::vector<GtkWidget *> all;
	collect(root, &all);
	for (GtkWidget *widget : all) {
		std::string id = id_of(widget);
		const GladeWidget *declared = find_widget(window, id);
		if (id.empty() || id == "-" || !declared)
			continue;
		GtkWidget *parent = named_parent(widget);
		std::string line = id + " " + family(widget) + " parent=" + id_of(parent);
		// GTK 3 shows a menu item's image only where the settings say so.
		if (!GTK_IS_IMAGE_MENU_ITEM(gtk_widget_get_parent(widget)))
			line += " visible=" + std::to_string(gtk_widget_get_visible(widget));
		line += " tooltip=" + tooltip(widget);
		if (GTK_IS_CONTAINER(gtk_widget_get_parent(widget)) && !GTK_IS_MENU(widget))
			line += child_place(widget);
		line += kind_details(widget) + accessibility(widget, *declared, all);
		if (GtkWidget *dialog = dialog_of(widget))
			if (int response =
			            gtk_dialog_get_response_for_widget(GTK_DIALOG(dialog), widget);
			    response != GTK_RESPONSE_NONE)
				line += " response=" + std::to_string(response);
		std::vector<std::string> &handlers = dump.handlers[G_OBJECT(widget)];
		std::sort(handlers.begin(), handlers.end());
		for (const std::string &handler : handlers)
			line += " " + handler;
		dump.lines[id] = line;
	}
}

static void note_handler(Dump &dump, GObject *object, const char *signal, const char *handler,
                         GObject *other, bool swapped, bool after)
{
	std::string canonical = signal;
	std::replace(canonical.begin(), canonical.end(), '_', '-');
	dump.handlers[object].push_back("on:" + canonical + "=" + handler + "(" + id_of(other) +
	                                (swapped ? ",swapped" : "") + (after ? ",after" : "") +
	                                ")");
}

#ifdef DUMP_LIBGLADE
struct Connecting {
	Dump &dump;
	const GladeWidget &window;
};

// libglade connects a handler swapped whenever the file names an object,
// found or not, but does not tell the program so: the file does.
static bool names_object(const GladeWidget &window, GObject *object, const char *signal,
                         const char *handler)
{
	const GladeWidget *widget = find_widget(window, id_of(object));
	for (const GladeSignal &s : widget ? widget->signals : std::vector<GladeSignal>{})
		if (s.name == signal && s.handler == handler && !s.object.empty())
			return true;
	return false;
}

static GtkWidget *build(Dump &dump, const std::string &text, const GladeWidget &window)
{
	GladeXML *tree = glade_xml_new_from_buffer(text.data(), int(text.size()), window.id.c_str(),
	                                           nullptr);
	if (!tree)
		return nullptr;
	dump.tree = G_OBJECT(tree);
	Connecting connecting{dump, window};
	glade_xml_signal_autoconnect_full(
	        tree,
	        [](const gchar *handler, GObject *object, const gchar *signal, const gchar *,
	           GObject *other, gboolean after, gpointer data) {
		        auto &c = *static_cast<Connecting *>(data);
		        note_handler(c.dump, object, signal, handler, other,
		                     names_object(c.window, object, signal, handler), after);
	        },
	        &connecting);
	return glade_xml_get_widget(tree, window.id.c_str());
}
#else
static GtkWidget *build(Dump &dump, const std::string &text, const GladeWidget &window)
{
	const std::string &root = window.id;
	std::optional<GladeFile> file = parse_glade(text);
	std::optional<std::string> xml =
	        file ? builder_xml(*file, root, *gtk3_catalog()) : std::nullopt;
	GtkBuilder *builder = gtk_builder_new();
	dump.tree = G_OBJECT(builder);
	if (!xml || !gtk_builder_add_from_string(builder, xml->c_str(), -1, nullptr))
		return nullptr;
	gtk_builder_connect_signals_full(
	        builder,
	        [](GtkBuilder *, GObject *object, const gchar *signal, const gchar *handler,
	           GObject *other, GConnectFlags flags, gpointer data) {
		        note_handler(*static_cast<Dump *>(data), object, signal, handler, other,
		                     flags & G_CONNECT_SWAPPED, flags & G_CONNECT_AFTER);
	        },
	        &dump);
	return GTK_WIDGET(gtk_builder_get_object(builder, root.c_str()));
}
#endif

int main(int argc, char **argv)
{
	if (argc != 2 || !gtk_init_check(&argc, &argv))
		return 2;
	std::ifstream in(argv[1], std::ios::binary);
	std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
	std::optional<GladeFile> file = parse_glade(text);
	if (!file)
		return 2;
	for (const auto &window : file->toplevels) {
		Dump dump;
		GtkWidget *root = build(dump, text, *window);
		std::cout << "window " << window->id << (root ? "" : " not built") << "\n";
		if (root)
			describe(dump, root, *window);
		for (const auto &[id, line] : dump.lines)
			std::cout << line << "\n";
		if (root)
			gtk_widget_destroy(root);
		if (dump.tree)
			g_object_unref(dump.tree);
	}
	return 0;
}
