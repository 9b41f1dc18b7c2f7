#include "profiles/selector_tuning.h"

#include "base/combo_box.h"
#include "base/toolkit_compat.h"
#include "interface/main_window.h"
#if GTK_CHECK_VERSION(3, 0, 0)
#include "profiles/player_popup.h"
#endif

#include <gtk/gtk.h>

#if !GTK_CHECK_VERSION(3, 0, 0)
// What is kept across builds of the main window (tests build it more than
// once in a process).
static struct {
	bool list_style_parsed; // GTK+ 2's style for the players' list
} tuning;
#endif

// The players drop down as a scrolling list rather than a menu: the
// toolkit builds a menu item for every row, up front, which makes start-up
// and opening slow with thousands of players, and a menu of them is taller
// than the screen.
void list_players_in_a_list()
{
#if !GTK_CHECK_VERSION(3, 0, 0)
	if (tuning.list_style_parsed)
		return;
	tuning.list_style_parsed = true;
	gtk_rc_parse_string("style \"trovik-joueurs\" { GtkComboBox::appears-as-list = 1 }\n"
	                    "widget \"*.joueur\" style \"trovik-joueurs\"\n");
#endif
}

// A combo box sizes its arrow to its font when first measured, which asks
// for a second measure of every row: measured once while it is still
// empty, the selector measures the players once as the window shows.
static void size_selector_arrow()
{
	wanted_size(ZelkWidget.joueur);
}

void tune_selector_before_rows()
{
	// The window is hidden and has not taken its styles yet: the selector
	// takes its own before the rows go in, or it makes a menu of them.
	take_style_now(ZelkWidget.joueur);
#if GTK_CHECK_VERSION(3, 0, 0)
	// GTK 3's own drop-down of thousands of players is a window taller
	// than X allows, or a menu item for each made up front.
	drop_down_own_list(ZelkWidget.joueur);
#endif
	size_selector_arrow();
}

// The list a combo box drops down measures every row before it first shows,
// so the first opening would grow with the number of players. Rows of one
// line are all as tall: the view measures one and takes it for every row.
void measure_one_player_row()
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
