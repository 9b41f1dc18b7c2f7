#include "profiles/selector.h"

#include "base/glib_ptr.h"
#include "base/widgets.h"
#include "profiles/dir.h"
#include "profiles/fixed_text_cell.h"
#include "profiles/names.h"
#include "profiles/profile_texts.h"
#include "profiles/profile_tree.h"

#include <cerrno>

// A burst of changes on disk (a script making a thousand players) is
// folded into one rebuild of the list per this many milliseconds.
static const guint refresh_delay_ms = 250;

// A name may be 255 bytes long: the selector shows a width of its own and
// cuts long names in the middle, where a tooltip has them whole.
static const int shown_name_chars = 24;

// What the selector keeps while the main window lives.
static struct {
	GObjectPtr<GFileMonitor> monitor; // on profils
	guint pending_refresh;            // the timeout of the next rebuild, 0 if none
} selector;

// The selector measures every row, at each change of size, for the widest;
// its size is fixed (shown_name_width, shown_name_height), so a row it is
// not showing is left alone: its cell keeps the shown name, which a cell
// of fixed size does not lay out to be measured.
static bool measured_only(GtkCellLayout *layout, GtkTreeModel *model, GtkTreeIter *iter)
{
	GtkWidget *combo = ZelkWidget.joueur;
	if (!combo || static_cast<gpointer>(layout) != gtk_bin_get_child(GTK_BIN(combo)))
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
	gchar *raw = nullptr;
	gtk_tree_model_get(model, iter, 0, &raw, -1);
	GCharPtr name(raw);
	g_object_set(cell, "text", name ? displayable(name.get()).c_str() : "", nullptr);
}

// The selector sizes itself by measuring every row, and a renderer that
// cuts text asks the font for its metrics at each one: given its width in
// pixels, worked out once, it measures thousands of players quickly.
static int shown_name_width(GtkWidget *combo, GtkCellRenderer *cell)
{
	PangoContext *context = gtk_widget_get_pango_context(combo);
	PangoFontMetrics *metrics =
	        pango_context_get_metrics(context, gtk_widget_get_style(combo)->font_desc,
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
	int height = 0;
	gtk_cell_renderer_get_size(cell, combo, nullptr, nullptr, nullptr, nullptr, &height);
	return height;
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
		gchar *raw = nullptr;
		gtk_tree_model_get(model, &iter, 0, &raw, -1);
		GCharPtr text(raw);
		if (text && name == text.get())
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

// Without a player the game cannot start: the button says so by looking it,
// and the line under the selector says how to begin.
static void show_player_state()
{
	bool has_player = gtk_combo_box_get_active(GTK_COMBO_BOX(ZelkWidget.joueur)) >= 0;
	std::string hint = has_player ? "" : no_player_hint(unreadable_error());
	gtk_widget_set_sensitive(ZelkWidget.jouer, has_player);
	gtk_label_set_text(GTK_LABEL(ZelkWidget.aide_joueur), hint.c_str());
	gtk_widget_set_visible(ZelkWidget.aide_joueur, !hint.empty());
}

static gboolean refresh_players(gpointer)
{
	selector.pending_refresh = 0;
	refresh_player_list();
	return FALSE;
}

static void profiles_changed(GFileMonitor *, GFile *, GFile *, GFileMonitorEvent event, gpointer)
{
	if (event == G_FILE_MONITOR_EVENT_CHANGES_DONE_HINT || selector.pending_refresh)
		return;
	selector.pending_refresh = g_timeout_add(refresh_delay_ms, refresh_players, nullptr);
}

static void stop_watching()
{
	if (selector.pending_refresh)
		g_source_remove(selector.pending_refresh);
	selector.pending_refresh = 0;
	selector.monitor.reset();
}

static void main_window_gone(GtkWidget *, gpointer)
{
	stop_watching();
}

void creer_combobox_joueurs()
{
	NameList names = lister_fichiers(profiles_dir);
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

void refresh_player_list()
{
	std::optional<std::string> active = combo_active_text(ZelkWidget.joueur);
	creer_combobox_joueurs();
	int row = active ? row_of(*active) : -1;
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), row >= 0 ? row : 0);
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

void watch_profiles()
{
	stop_watching();
	GObjectPtr<GFile> dir(g_file_new_for_path(profiles_dir));
	selector.monitor.reset(
	        g_file_monitor_directory(dir.get(), G_FILE_MONITOR_NONE, nullptr, nullptr));
	if (selector.monitor)
		g_signal_connect(selector.monitor.get(), "changed", G_CALLBACK(profiles_changed),
		                 nullptr);
	g_signal_connect(ZelkWidget.main, "destroy", G_CALLBACK(main_window_gone), nullptr);
}

extern "C" void change_joueur(GtkWidget *, gpointer)
{
	std::optional<std::string> player = combo_active_text(ZelkWidget.joueur);
	int count = player ? count_records(*player) : 0;
	gtk_label_set_text(GTK_LABEL(ZelkWidget.nbretoiles), std::to_string(count).c_str());
	gtk_widget_set_tooltip_text(ZelkWidget.joueur,
	                            player ? displayable(*player).c_str() : nullptr);
	show_player_state();
}
