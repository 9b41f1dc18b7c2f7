#include "shell/interface.h"

#include "banner/banner.h"
#include "base/glib_ptr.h"
#include "base/toolkit_compat.h"
#include "base/combo_box.h"
#include "base/displayable.h"
#include "base/message_dialog.h"
#include "interface/interface_file.h"
#include "interface/main_window.h"
#include "profiles/add_window.h"
#include "profiles/cut_deletes.h"
#include "profiles/delete_window.h"
#include "profiles/player_popup.h"
#include "profiles/selector.h"
#include "shell/resolution_view.h"
#include "shell/window_icon.h"

#include <vector>

#if !GTK_CHECK_VERSION(3, 0, 0)
// What start-up keeps across builds of the main window (tests build it
// more than once in a process).
static struct {
	bool list_style_parsed; // GTK+ 2's style for the players' list
} startup;
#endif

// The players drop down as a scrolling list rather than a menu: the
// toolkit builds a menu item for every row, up front, which makes start-up
// and opening slow with thousands of players, and a menu of them is taller
// than the screen. Parsed before the window is built, which takes it up.
static void list_players_in_a_list()
{
#if !GTK_CHECK_VERSION(3, 0, 0)
	if (startup.list_style_parsed)
		return;
	startup.list_style_parsed = true;
	gtk_rc_parse_string("style \"trovik-joueurs\" { GtkComboBox::appears-as-list = 1 }\n"
	                    "widget \"*.joueur\" style \"trovik-joueurs\"\n");
#endif
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
	wanted_size(ZelkWidget.joueur);
}

void zelk_gui_load()
{
	set_window_icon();
	list_players_in_a_list();
	check_interface(zelk_interface_read(),
	                {&main_window_widgets, &add_window_widgets, &delete_window_widgets});
	main_window_load();
	// The window is hidden and has not taken its styles yet: the selector
	// takes its own before the rows go in, or it makes a menu of them.
	take_style_now(ZelkWidget.joueur);
#if GTK_CHECK_VERSION(3, 0, 0)
	// GTK 3's own drop-down of thousands of players is a window taller
	// than X allows, or a menu item for each made up front.
	drop_down_own_list(ZelkWidget.joueur);
#endif
	size_selector_arrow();
	keep_hint_room();
	creer_combobox_joueurs();
	count_first_player_ahead();
	measure_one_player_row();
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.langue), 0);
	show_mode_when_closed(ZelkWidget.resolution);
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.resolution), 1);
	// The banner's GL set-up is the longest step: the count runs beside it.
	main_window_set_banner(banner::add_to_top(ZelkWidget.vbox1));
	describe_banner(ZelkWidget.gl_area);
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), 0);
	watch_profiles();
	finish_cut_deletes();
	// Shown complete, the window appears once at its final size, and the
	// banner's first frame is drawn at its own.
	gtk_widget_show(ZelkWidget.main);
}
