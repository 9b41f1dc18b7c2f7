#include "shell/interface.h"

#include "banner/banner.h"
#include "base/glib_ptr.h"
#include "base/widgets.h"
#include "profiles/add_window.h"
#include "profiles/cut_deletes.h"
#include "profiles/delete_window.h"
#include "profiles/selector.h"
#include "shell/resolution_view.h"

#include <glade/glade-parser.h>

#include <iterator>
#include <memory>
#include <vector>

struct GladeInterfaceFree {
	void operator()(GladeInterface *interface) const { glade_interface_destroy(interface); }
};
using GladeInterfacePtr = std::unique_ptr<GladeInterface, GladeInterfaceFree>;

// A widget of the main window and the registry field it goes into.
struct MainWidget {
	WantedWidget wanted;
	GtkWidget *ZelkWidgetRegistry::*field;
};

// In the order a file is checked for them.
static const MainWidget main_widgets[] = {
        {{"main", gtk_window_get_type, true}, &ZelkWidgetRegistry::main},
        {{"langue", gtk_combo_box_get_type, true}, &ZelkWidgetRegistry::langue},
        {{"resolution", gtk_combo_box_get_type, true}, &ZelkWidgetRegistry::resolution},
        {{"joueur", gtk_combo_box_get_type, true}, &ZelkWidgetRegistry::joueur},
        {{"nbretoiles", gtk_label_get_type, true}, &ZelkWidgetRegistry::nbretoiles},
        {{"checkbutton4", gtk_check_button_get_type, true}, &ZelkWidgetRegistry::checkbutton4},
        {{"checkbutton3", gtk_check_button_get_type, true}, &ZelkWidgetRegistry::checkbutton3},
        {{"vbox1", gtk_box_get_type, true}, &ZelkWidgetRegistry::vbox1},
        // Greyed out without a player: any widget can be.
        {{"bouton_jouer", gtk_widget_get_type, false}, &ZelkWidgetRegistry::jouer},
        {{"aide_joueur", gtk_label_get_type, false}, &ZelkWidgetRegistry::aide_joueur},
};

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

static bool has_widget(const GladeWidgetInfo *root, const WantedWidget &wanted)
{
	const GladeWidgetInfo *info = root ? find_widget(root, wanted.id) : nullptr;
	return info && class_is_kind(info->classname, wanted.kind());
}

// A window is a toplevel of the file, the widgets it needs inside it.
static void check_window(const GladeInterface *interface,
                         const std::vector<WantedWidget> &wanted_list)
{
	const GladeWidgetInfo *root = find_toplevel(interface, wanted_list.front().id);
	for (const WantedWidget &wanted : wanted_list)
		if (wanted.required && !has_widget(root, wanted))
			zelk_widget_missing(wanted.id);
}

// Every window is checked before any is built: a file that lacks a widget
// or has one of another kind is refused now, rather than leaving a window
// half made or failing on the click that opens a sub-window.
static void check_interface(const std::string &text)
{
	GladeInterfacePtr interface(
	        glade_parser_parse_buffer(text.data(), int(text.size()), nullptr));
	if (!interface)
		zelk_gui_error(interface_error);
	std::vector<WantedWidget> main_wanted;
	for (const MainWidget &widget : main_widgets)
		main_wanted.push_back(widget.wanted);
	check_window(interface.get(), main_wanted);
	check_window(interface.get(), add_window_widgets);
	check_window(interface.get(), delete_window_widgets);
}

static void load_main_widgets(GladeXML *tree)
{
	zelk_main_window_load(tree, main_widgets[0].wanted.id);
	for (std::size_t i = 1; i < std::size(main_widgets); i++) {
		const MainWidget &widget = main_widgets[i];
		GtkWidget **field = &(ZelkWidget.*widget.field);
		if (widget.wanted.required)
			zelk_widget_load(tree, widget.wanted.id, field);
		else
			*field = zelk_optional_widget(tree, widget.wanted);
	}
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

// The name the desktop knows the launcher's icon by, and the file of it in
// the game directory.
static const char *const icon_name = "gtktrovik";
static const char *const icon_file = "gtktrovik.png";

// Taskbars and window switchers show this for every window of the launcher.
// The game directory has the file, installed or built; it is read first,
// since asking the icon theme whether it has the name reads the whole
// theme, a tenth of the launcher's start. Where the file is missing, the
// theme has the last word when the window shows; without either the
// desktop shows its own picture, which is no reason to stop.
static void set_window_icon()
{
	GError *raw = nullptr;
	if (!gtk_window_set_default_icon_from_file(icon_file, &raw))
		gtk_window_set_default_icon_name(icon_name);
	GErrorPtr ignored(raw);
}

// The banner has nothing to read or press: a screen reader announces it
// as the moving picture it is, rather than as an unnamed drawing area.
static void describe_banner(GtkWidget *area)
{
	AtkObject *accessible = gtk_widget_get_accessible(area);
	atk_object_set_name(accessible, "Bannière animée de Trovik");
	atk_object_set_role(accessible, ATK_ROLE_ANIMATION);
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
	set_window_icon();
	list_players_in_a_list();
	check_interface(zelk_interface_read());
	gui_glade_xml = zelk_tree_load(main_widgets[0].wanted.id);
	load_main_widgets(gui_glade_xml.get());
	// The window is hidden and has not taken its styles yet: the selector
	// takes its own before the rows go in, or it makes a menu of them.
	gtk_widget_ensure_style(ZelkWidget.joueur);
	size_selector_arrow();
	keep_hint_room();
	creer_combobox_joueurs();
	count_first_player_ahead();
	measure_one_player_row();
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.langue), 0);
	show_mode_when_closed(ZelkWidget.resolution);
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.resolution), 1);
	// The banner's GL set-up is the longest step: the count runs beside it.
	ZelkWidget.gl_area = banner::add_to_top(ZelkWidget.vbox1);
	describe_banner(ZelkWidget.gl_area);
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), 0);
	watch_profiles();
	finish_cut_deletes();
	// Shown complete, the window appears once at its final size, and the
	// banner's first frame is drawn at its own.
	gtk_widget_show(ZelkWidget.main);
}
