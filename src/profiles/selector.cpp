#include "profiles/selector.h"

#include "base/reentry.h"
#include "base/toolkit_compat.h"
#include "base/combo_box.h"
#include "base/displayable.h"
#include "base/message_dialog.h"
#include "interface/handlers.h"
#include "interface/main_window.h"
#include "profiles/dir.h"
#include "profiles/fixed_text_cell.h"
#include "profiles/names.h"
#include "profiles/profile_texts.h"
#include "profiles/profile_tree.h"
#include "profiles/profiles_watch.h"

#include <cerrno>
#include <future>
#include <system_error>

// The line under the selector has the room of two lines whatever it says,
// enough for any of its texts at the width it is given.
static const char hint_room[] = "X\nX";

// A name may be 255 bytes long: the selector shows a width of its own and
// cuts long names in the middle, where a tooltip has them whole.
static const int shown_name_chars = 24;

// What the selector keeps while the main window lives.
static struct {
	// A word for the user under the selector, kept while the player who
	// was active when it was said stays active.
	std::string note;
	std::optional<std::string> note_player;
	// The records of the player start-up makes active, counted on a thread
	// of their own while the rest of the window is built.
	std::string counted_ahead;
	std::future<int> count_ahead;
	bool changing; // change_joueur runs
} selector;

// The selector measures every row, at each change of size, for the widest;
// its size is fixed (shown_name_width, shown_name_height), so a row it is
// not showing is left alone: its cell keeps the shown name, which a cell
// of fixed size does not lay out to be measured.
static bool measured_only(GtkCellLayout *layout, GtkTreeModel *model, GtkTreeIter *iter)
{
	GtkWidget *combo = ZelkWidget.joueur;
	if (!combo || !is_closed_view(layout, combo))
		return false;
	GtkTreePath *path = gtk_tree_model_get_path(model, iter);
	int row = gtk_tree_path_get_indices(path)[0];
	gtk_tree_path_free(path);
	return row != gtk_combo_box_get_active(GTK_COMBO_BOX(combo));
}

static void show_player_name(GtkCellLayout *layout, GtkCellRenderer *cell, GtkTreeModel *model,
                             GtkTreeIter *iter, gpointer)
{
	if (measured_only(layout, model, iter))
		return;
	g_object_set(cell, "text", displayable(row_text(model, iter)).c_str(), nullptr);
}

// The selector sizes itself by measuring every row, and a renderer that
// cuts text asks the font for its metrics at each one: given its width in
// pixels, worked out once, it measures thousands of players quickly.
static int shown_name_width(GtkWidget *combo, GtkCellRenderer *cell)
{
	PangoContext *context = gtk_widget_get_pango_context(combo);
	PangoFontMetrics *metrics =
	        pango_context_get_metrics(context, pango_context_get_font_description(context),
	                                  pango_context_get_language(context));
	int char_width = PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(metrics));
	pango_font_metrics_unref(metrics);
	int xpad = 0;
	gtk_cell_renderer_get_padding(cell, &xpad, nullptr);
	return 2 * xpad + char_width * shown_name_chars;
}

// Every name is one line of the selector's font: one measure serves them
// all, and with it the rows cost no layout of their text when measured.
static int shown_name_height(GtkWidget *combo, GtkCellRenderer *cell)
{
	gtk_cell_renderer_set_fixed_size(cell, -1, -1);
	g_object_set(cell, "text", "", nullptr);
	return cell_height(cell, combo);
}

static GtkCellRenderer *name_cell(GtkCellLayout *layout)
{
	GList *cells = gtk_cell_layout_get_cells(layout);
	GtkCellRenderer *cell = cells ? GTK_CELL_RENDERER(cells->data) : nullptr;
	g_list_free(cells);
	if (cell && is_fixed_text_cell(cell))
		return cell;
	gtk_cell_layout_clear(layout);
	cell = fixed_text_cell_new();
	gtk_cell_layout_pack_start(layout, cell, TRUE);
	return cell;
}

static void display_names_safely(GtkWidget *combo)
{
	GtkCellLayout *layout = GTK_CELL_LAYOUT(combo);
	GtkCellRenderer *cell = name_cell(layout);
	g_object_set(cell, "ellipsize", PANGO_ELLIPSIZE_MIDDLE, nullptr);
	int height = shown_name_height(combo, cell);
	gtk_cell_renderer_set_fixed_size(cell, shown_name_width(combo, cell), height);
	gtk_cell_layout_clear_attributes(layout, cell);
	gtk_cell_layout_set_cell_data_func(layout, cell, show_player_name, nullptr, nullptr);
}

static int row_of(const std::string &name)
{
	GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(ZelkWidget.joueur));
	GtkTreeIter iter;
	int row = 0;
	for (gboolean ok = gtk_tree_model_get_iter_first(model, &iter); ok;
	     ok = gtk_tree_model_iter_next(model, &iter), row++) {
		if (row_text(model, &iter) == name)
			return row;
	}
	return -1;
}

// Why the list is empty when profils is there but cannot be read; 0 when
// it can be read, or is not there yet.
static int unreadable_error()
{
	Dir dir(opendir(profiles_dir));
	return dir || errno == ENOENT ? 0 : errno;
}

// The note while it holds; else, without a player, how to begin.
static std::string hint_for(const std::optional<std::string> &active)
{
	// None is active for a moment inside every rebuild: only the choice of
	// another player ends the note.
	if (active && active != selector.note_player)
		selector.note.clear();
	if (!selector.note.empty() && active == selector.note_player)
		return selector.note;
	return active ? "" : no_player_hint(unreadable_error());
}

// Without a player the game cannot start: the button says so by looking it,
// and the line under the selector says how to begin; a file may have
// neither.
static void show_player_state()
{
	std::optional<std::string> active = combo_active_text(ZelkWidget.joueur);
	std::string hint = hint_for(active);
	if (ZelkWidget.jouer)
		gtk_widget_set_sensitive(ZelkWidget.jouer, active.has_value());
	if (ZelkWidget.aide_joueur)
		gtk_label_set_text(GTK_LABEL(ZelkWidget.aide_joueur), hint.c_str());
}

// A wrapping label breaks its lines at the width it asks for, worked out
// before the window is laid out: it asks for next to none, and then for
// the width its row turned out to have, which leaves that width as it is.
static void wrap_hint_at_its_width(GtkWidget *hint, GtkAllocation *allocation, gpointer)
{
	int width = 0, height = 0;
	gtk_widget_get_size_request(hint, &width, &height);
	if (width != allocation->width)
		gtk_widget_set_size_request(hint, allocation->width, height);
}

void keep_hint_room()
{
	GtkWidget *hint = ZelkWidget.aide_joueur;
	if (!hint)
		return;
	take_style_now(hint);
	std::string text = gtk_label_get_text(GTK_LABEL(hint));
	gtk_label_set_text(GTK_LABEL(hint), hint_room);
	int height = wanted_size(hint).height;
	gtk_label_set_text(GTK_LABEL(hint), text.c_str());
	gtk_widget_set_size_request(hint, 1, height);
	g_signal_connect(hint, "size-allocate", G_CALLBACK(wrap_hint_at_its_width), nullptr);
}

void creer_combobox_joueurs()
{
	NameList names = lister_fichiers(profiles_dir);
	note_listing(names);
	trier_liste(names);
	GtkListStore *store = gtk_list_store_new(1, G_TYPE_STRING);
	// One insertion a row, its name with it: a row appended empty and then
	// set is announced twice.
	for (const std::string &name : names)
		gtk_list_store_insert_with_values(store, nullptr, -1, 0, name.c_str(), -1);
	display_names_safely(ZelkWidget.joueur); // before the new rows are drawn
	gtk_combo_box_set_model(GTK_COMBO_BOX(ZelkWidget.joueur), GTK_TREE_MODEL(store));
	g_object_unref(store); // the selector holds it from now on
	show_player_state();
}

// Also for the start button, which can learn before the watch that a
// player is gone: the rebuild the watch would make comes now, and once.
void refresh_player_list()
{
	drop_pending_change();
	std::optional<std::string> active = combo_active_text(ZelkWidget.joueur);
	creer_combobox_joueurs();
	int row = active ? row_of(*active) : -1;
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), row >= 0 ? row : 0);
}

static void main_window_gone(GtkWidget *, gpointer)
{
	stop_following_profiles();
}

void watch_profiles()
{
	follow_profiles(refresh_player_list);
	g_signal_connect(ZelkWidget.main, "destroy", G_CALLBACK(main_window_gone), nullptr);
}

void say_under_selector(const std::string &text)
{
	if (!ZelkWidget.aide_joueur) {
		show_message_over(ZelkWidget.main, text.c_str());
		return;
	}
	selector.note = text;
	selector.note_player = combo_active_text(ZelkWidget.joueur);
	show_player_state();
}

bool select_player(const std::string &name)
{
	int row = row_of(name);
	if (row >= 0)
		gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), row);
	return row >= 0;
}

void select_first_player()
{
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), 0);
}

// Reading thousands of records is the kernel's work, which the count
// ahead does on the other core.
static int records_of(const std::string &player)
{
	if (selector.count_ahead.valid() && selector.counted_ahead == player)
		return selector.count_ahead.get();
	selector.count_ahead = {};
	return count_records(player);
}

void count_first_player_ahead()
{
	GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(ZelkWidget.joueur));
	GtkTreeIter first;
	if (!gtk_tree_model_get_iter_first(model, &first))
		return;
	selector.counted_ahead = row_text(model, &first);
	try {
		selector.count_ahead =
		        std::async(std::launch::async, count_records, selector.counted_ahead);
	} catch (const std::system_error &) {
		// No thread to be had: the records are counted when they are shown.
		selector.counted_ahead.clear();
	}
}

extern "C" void change_joueur(GtkWidget *, gpointer)
{
	ReentryGuard guard(selector.changing);
	if (!guard)
		return;
	std::optional<std::string> player = combo_active_text(ZelkWidget.joueur);
	int count = player ? records_of(*player) : 0;
	gtk_label_set_text(GTK_LABEL(ZelkWidget.nbretoiles), std::to_string(count).c_str());
	gtk_widget_set_tooltip_text(ZelkWidget.joueur,
	                            player ? displayable(*player).c_str() : nullptr);
	show_player_state();
}
