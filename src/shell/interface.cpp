#include "shell/interface.h"

#include "banner/banner.h"
#include "base/widgets.h"
#include "profiles/add_window.h"
#include "profiles/delete_window.h"
#include "profiles/selector.h"

#include <glade/glade-parser.h>

#include <memory>
#include <vector>

struct GladeInterfaceFree {
	void operator()(GladeInterface *interface) const { glade_interface_destroy(interface); }
};
using GladeInterfacePtr = std::unique_ptr<GladeInterface, GladeInterfaceFree>;

static const GladeWidgetInfo *find_widget(const GladeWidgetInfo *info, const char *id)
{
	if (g_strcmp0(info->name, id) == 0)
		return info;
	for (guint i = 0; i < info->n_children; i++)
		if (const GladeWidgetInfo *child = info->children[i].child)
			if (const GladeWidgetInfo *found = find_widget(child, id))
				return found;
	return nullptr;
}

static const GladeWidgetInfo *find_toplevel(const GladeInterface *interface, const char *id)
{
	for (guint i = 0; i < interface->n_toplevels; i++)
		if (g_strcmp0(interface->toplevels[i]->name, id) == 0)
			return interface->toplevels[i];
	return nullptr;
}

// The sub-windows are built only when the user opens them, so a file that
// lacks one of their widgets is refused now rather than on that click.
static void check_sub_windows(const std::string &text)
{
	GladeInterfacePtr interface(
	        glade_parser_parse_buffer(text.data(), int(text.size()), nullptr));
	if (!interface)
		zelk_gui_error(interface_error);
	for (const std::vector<const char *> *ids : {&add_window_ids, &delete_window_ids}) {
		const GladeWidgetInfo *root = find_toplevel(interface.get(), ids->front());
		for (const char *id : *ids)
			if (!root || !find_widget(root, id))
				zelk_widget_missing(id);
	}
}

static void load_main_widgets(GladeXML *tree)
{
	zelk_main_window_load(tree, "main");
	zelk_widget_load(tree, "langue", &ZelkWidget.langue);
	zelk_widget_load(tree, "resolution", &ZelkWidget.resolution);
	zelk_widget_load(tree, "joueur", &ZelkWidget.joueur);
	zelk_widget_load(tree, "nbretoiles", &ZelkWidget.nbretoiles);
	zelk_widget_load(tree, "checkbutton4", &ZelkWidget.checkbutton4);
	zelk_widget_load(tree, "checkbutton3", &ZelkWidget.checkbutton3);
	zelk_widget_load(tree, "vbox1", &ZelkWidget.vbox1);
	zelk_widget_load(tree, "bouton_jouer", &ZelkWidget.jouer);
	zelk_widget_load(tree, "aide_joueur", &ZelkWidget.aide_joueur);
}

// The players drop down as a scrolling list rather than a menu: the
// toolkit builds a menu item for every row, up front, which makes start-up
// and opening slow with thousands of players, and a menu of them is taller
// than the screen. Parsed before the window is built, which takes it up.
static void list_players_in_a_list()
{
	static bool parsed = false;
	if (parsed)
		return;
	parsed = true;
	gtk_rc_parse_string("style \"trovik-joueurs\" { GtkComboBox::appears-as-list = 1 }\n"
	                    "widget \"*.joueur\" style \"trovik-joueurs\"\n");
}

// The list a combo box drops down measures every row before it first shows,
// so the first opening would grow with the number of players. Rows of one
// line are all as tall: the view measures one and takes it for every row.
static void measure_one_player_row()
{
	GtkTreeModel *players = gtk_combo_box_get_model(GTK_COMBO_BOX(ZelkWidget.joueur));
	GtkWidget *list = find_in_popups([players](GtkWidget *w) {
		return GTK_IS_TREE_VIEW(w) && gtk_tree_view_get_model(GTK_TREE_VIEW(w)) == players;
	});
	GtkTreeView *view = list ? GTK_TREE_VIEW(list) : nullptr;
	GtkTreeViewColumn *column = view ? gtk_tree_view_get_column(view, 0) : nullptr;
	if (!column)
		return;
	gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
	gtk_tree_view_column_set_fixed_width(column, 1); // the list is as wide as the selector
	gtk_tree_view_column_set_expand(column, TRUE);
	gtk_tree_view_set_fixed_height_mode(view, TRUE);
}

// A combo box sizes its arrow to its font when first measured, which asks
// for a second measure of every row: measured once while it is still
// empty, the selector measures the players once as the window shows.
static void size_selector_arrow()
{
	GtkRequisition unused;
	gtk_widget_size_request(ZelkWidget.joueur, &unused);
}

void zelk_gui_load()
{
	list_players_in_a_list();
	const std::string &text = zelk_interface_read();
	gui_glade_xml = zelk_tree_load("main");
	load_main_widgets(gui_glade_xml.get());
	// The window is hidden and has not taken its styles yet: the selector
	// takes its own before the rows go in, or it makes a menu of them.
	gtk_widget_ensure_style(ZelkWidget.joueur);
	size_selector_arrow();
	check_sub_windows(text);
	creer_combobox_joueurs();
	measure_one_player_row();
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.langue), 0);
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.resolution), 1);
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), 0);
	watch_profiles();
	ZelkWidget.gl_area = banner::add_to_top(ZelkWidget.vbox1);
	// Shown complete, the window appears once at its final size, and the
	// banner's first frame is drawn at its own.
	gtk_widget_show(ZelkWidget.main);
}
