#include "profiles/callbacks.h"

#include "base/glib_ptr.h"
#include "base/widgets.h"
#include "profiles/dir.h"
#include "profiles/namelist.h"
#include "profiles/profile_tree.h"

#include <cerrno>

// A burst of changes on disk (a script making a thousand players) is
// folded into one rebuild of the list per this many milliseconds.
static const guint refresh_delay_ms = 250;

// What the profile windows keep between handlers.
static struct {
	GObjectPtr<GFileMonitor> monitor; // on profils, while the main window lives
	guint pending_refresh;            // the timeout of the next rebuild, 0 if none
	// The player the open delete window asked about: the list may change
	// under it, and only the player the user confirmed may go.
	std::optional<std::string> confirmed;
} profiles;

// Player names are directory names: any bytes but '/' and NUL. The store
// keeps them exactly, for the game and the disk; only what is shown is
// made valid UTF-8, so that a stray byte cannot garble the window.
static std::string displayable(const std::string &name)
{
	return GCharPtr(g_utf8_make_valid(name.c_str(), -1)).get();
}

// The selector measures every row, at each change of size, for the widest;
// its width is fixed (shown_name_width), so a row it is not showing needs
// no text to be measured, and thousands of players cost next to nothing.
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
	if (measured_only(layout, model, iter)) {
		g_object_set(cell, "text", "", nullptr);
		return;
	}
	gchar *raw = nullptr;
	gtk_tree_model_get(model, iter, 0, &raw, -1);
	GCharPtr name(raw);
	g_object_set(cell, "text", name ? displayable(name.get()).c_str() : "", nullptr);
}

// A name may be 255 bytes long: the selector shows a width of its own and
// cuts long names in the middle, where a tooltip has them whole.
static const int shown_name_chars = 24;

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

static void display_names_safely(GtkWidget *combo)
{
	GtkCellLayout *layout = GTK_CELL_LAYOUT(combo);
	GList *cells = gtk_cell_layout_get_cells(layout);
	GtkCellRenderer *cell = cells ? GTK_CELL_RENDERER(cells->data) : nullptr;
	g_list_free(cells);
	if (!cell) {
		cell = gtk_cell_renderer_text_new();
		gtk_cell_layout_pack_start(layout, cell, TRUE);
	}
	g_object_set(cell, "ellipsize", PANGO_ELLIPSIZE_MIDDLE, nullptr);
	gtk_cell_renderer_set_fixed_size(cell, shown_name_width(combo, cell), -1);
	gtk_cell_layout_clear_attributes(layout, cell);
	gtk_cell_layout_set_cell_data_func(layout, cell, show_player_name, nullptr, nullptr);
}

static int row_of(GtkListStore *store, const std::string &name)
{
	GtkTreeModel *model = GTK_TREE_MODEL(store);
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

// A sub-window may outlive the main window by a moment when both go.
static void set_main_sensitive(bool sensitive)
{
	if (ZelkWidget.main)
		gtk_widget_set_sensitive(ZelkWidget.main, sensitive);
}

static void open_over_main(GtkWidget *window)
{
	gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(ZelkWidget.main));
	gtk_window_present(GTK_WINDOW(window));
}

// Why the list is empty when profils is there but cannot be read; nothing
// when it can be read, or is not there yet.
static std::string unreadable_reason()
{
	Dir dir(opendir(profiles_dir));
	if (dir || errno == ENOENT)
		return {};
	if (errno == EACCES || errno == EPERM)
		return "accès refusé";
	if (errno == ENOTDIR)
		return "ce n'est pas un dossier";
	return g_strerror(errno);
}

// Without a player the game cannot start: the button says so by looking it,
// and the line under the selector says how to begin.
static void show_player_state()
{
	bool has_player = gtk_combo_box_get_active(GTK_COMBO_BOX(ZelkWidget.joueur)) >= 0;
	std::string hint;
	if (!has_player) {
		std::string why = unreadable_reason();
		hint = why.empty() ? "Créez un joueur pour commencer : « Nouveau joueur… »."
		                   : "Le dossier « profils » ne peut pas être lu : " + why + ".";
	}
	gtk_widget_set_sensitive(ZelkWidget.jouer, has_player);
	gtk_label_set_text(GTK_LABEL(ZelkWidget.aide_joueur), hint.c_str());
	gtk_widget_set_visible(ZelkWidget.aide_joueur, !hint.empty());
}

void creer_combobox_joueurs()
{
	NameList names = lister_fichiers(profiles_dir);
	trier_liste(names);
	GtkListStore *store = gtk_list_store_new(1, G_TYPE_STRING);
	for (const std::string &name : names) {
		GtkTreeIter iter;
		gtk_list_store_append(store, &iter);
		gtk_list_store_set(store, &iter, 0, name.c_str(), -1);
	}
	ZelkWidget.liste_joueurs = store;
	display_names_safely(ZelkWidget.joueur); // before the new rows are drawn
	gtk_combo_box_set_model(GTK_COMBO_BOX(ZelkWidget.joueur), GTK_TREE_MODEL(store));
	g_object_unref(store); // the selector holds it from now on
	show_player_state();
}

// The active player stays active while it exists; else the first one is.
static void rebuild_keeping_active()
{
	std::optional<std::string> active = combo_active_text(ZelkWidget.joueur);
	creer_combobox_joueurs();
	int row = active ? row_of(ZelkWidget.liste_joueurs, *active) : -1;
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), row >= 0 ? row : 0);
}

static gboolean refresh_players(gpointer)
{
	profiles.pending_refresh = 0;
	rebuild_keeping_active();
	return FALSE;
}

static void profiles_changed(GFileMonitor *, GFile *, GFile *, GFileMonitorEvent event, gpointer)
{
	if (event == G_FILE_MONITOR_EVENT_CHANGES_DONE_HINT || profiles.pending_refresh)
		return;
	profiles.pending_refresh = g_timeout_add(refresh_delay_ms, refresh_players, nullptr);
}

static void stop_watching(GtkWidget *, gpointer)
{
	if (profiles.pending_refresh)
		g_source_remove(profiles.pending_refresh);
	profiles.pending_refresh = 0;
	profiles.monitor.reset();
}

void watch_profiles()
{
	stop_watching(nullptr, nullptr);
	GObjectPtr<GFile> dir(g_file_new_for_path(profiles_dir));
	profiles.monitor.reset(
	        g_file_monitor_directory(dir.get(), G_FILE_MONITOR_NONE, nullptr, nullptr));
	if (profiles.monitor)
		g_signal_connect(profiles.monitor.get(), "changed", G_CALLBACK(profiles_changed),
		                 nullptr);
	g_signal_connect(ZelkWidget.main, "destroy", G_CALLBACK(stop_watching), nullptr);
}

std::string confirmation_text(const std::string &player)
{
	return "Etes-vous sûr de\nvouloir définitivement\nsupprimer l'utilisateur suivant\n"
	       "et tous ses records ?\n\n" +
	       player;
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

extern "C" void ouvrir_fenetre_ajout(GtkWidget *, gpointer)
{
	set_main_sensitive(false);
	gui_glade_xml2 = zelk_tree_load("ajout");
	zelk_widget_load(gui_glade_xml2.get(), "entry1", &ZelkWidget.entry1);
	zelk_widget_load(gui_glade_xml2.get(), "ajout", &ZelkWidget.ajout);
	open_over_main(ZelkWidget.ajout);
}

// Runs when the add window goes away, whichever way it was closed.
extern "C" void fermer_fenetre_ajout(GtkWidget *, gpointer)
{
	set_main_sensitive(true);
	ZelkWidget.ajout = nullptr;
	ZelkWidget.entry1 = nullptr;
}

// Keeps the add window open with the reason, so the name can be corrected.
static void refuse_name(const char *why)
{
	GtkWidget *label = glade_xml_get_widget(gui_glade_xml2.get(), "erreur_ajout");
	if (label)
		gtk_label_set_text(GTK_LABEL(label), why);
	gtk_widget_grab_focus(ZelkWidget.entry1);
}

extern "C" void creer_joueur(GtkWidget *, gpointer)
{
	if (!ZelkWidget.entry1)
		return;
	std::string name = gtk_entry_get_text(GTK_ENTRY(ZelkWidget.entry1));
	NameProblem problem = check_player_name(name);
	if (problem != NameProblem::none) {
		refuse_name(name_problem_message(problem));
		return;
	}
	if (!create_player(name)) {
		refuse_name("Le dossier de ce joueur n'a pas pu être créé.");
		return;
	}
	creer_combobox_joueurs();
	int row = row_of(ZelkWidget.liste_joueurs, name);
	if (row >= 0)
		gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), row);
	set_main_sensitive(true);
	gtk_widget_destroy(ZelkWidget.ajout);
	// The Enter that confirmed the name may well be pressed again: it must
	// land on the new player, not on the start button.
	gtk_widget_grab_focus(ZelkWidget.joueur);
}

extern "C" void ouvrir_fenetre_suppression(GtkWidget *, gpointer)
{
	set_main_sensitive(false);
	gui_glade_xml3 = zelk_tree_load("suppression");
	zelk_widget_load(gui_glade_xml3.get(), "suppression", &ZelkWidget.suppression);
	zelk_widget_load(gui_glade_xml3.get(), "label22", &ZelkWidget.label22);
	open_over_main(ZelkWidget.suppression);

	std::optional<std::string> player = combo_active_text(ZelkWidget.joueur);
	profiles.confirmed = player;
	if (player) {
		std::string shown = displayable(*player);
		gtk_label_set_text(GTK_LABEL(ZelkWidget.label22), confirmation_text(shown).c_str());
		gtk_widget_set_tooltip_text(ZelkWidget.label22, shown.c_str());
		return;
	}
	gtk_label_set_text(GTK_LABEL(ZelkWidget.label22), "Aucun joueur n'est sélectionné.");
	GtkWidget *confirm = glade_xml_get_widget(gui_glade_xml3.get(), "bouton_supprimer");
	if (confirm)
		gtk_widget_set_sensitive(confirm, FALSE);
}

// Also runs when the delete window is destroyed by other means: the field
// is cleared first, so the window is destroyed once.
extern "C" void fermer_fenetre_suppression(GtkWidget *, gpointer)
{
	set_main_sensitive(true);
	GtkWidget *window = ZelkWidget.suppression;
	ZelkWidget.suppression = nullptr;
	ZelkWidget.label22 = nullptr;
	profiles.confirmed.reset();
	if (window)
		gtk_widget_destroy(window);
}

// The delete window stays open to say what went wrong. Where the player is
// gone all the same, or was never a player, there is nothing left to
// confirm: the window only offers to close.
static void report_remove_failure(const RemoveResult &result)
{
	GtkWidget *message = glade_xml_get_widget(gui_glade_xml3.get(), "erreur_suppression");
	gtk_label_set_text(GTK_LABEL(message), remove_message(result).c_str());
	bool may_retry = result.outcome == RemoveOutcome::not_allowed ||
	                 result.outcome == RemoveOutcome::failed;
	if (may_retry)
		return;
	gtk_widget_set_sensitive(glade_xml_get_widget(gui_glade_xml3.get(), "bouton_supprimer"),
	                         FALSE);
	GtkWidget *cancel = glade_xml_get_widget(gui_glade_xml3.get(), "annuler_suppression");
	gtk_button_set_label(GTK_BUTTON(cancel), "_Fermer");
	gtk_widget_grab_focus(cancel);
}

extern "C" void supprimer_joueur(GtkWidget *, gpointer)
{
	if (!profiles.confirmed) {
		fermer_fenetre_suppression(nullptr, nullptr);
		return;
	}
	RemoveResult result = remove_player(*profiles.confirmed);
	bool gone = result.outcome == RemoveOutcome::removed ||
	            result.outcome == RemoveOutcome::leftovers;
	if (gone) {
		creer_combobox_joueurs();
		gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), 0);
	} else if (result.outcome == RemoveOutcome::missing) {
		rebuild_keeping_active();
	}
	if (result.outcome == RemoveOutcome::removed)
		fermer_fenetre_suppression(nullptr, nullptr);
	else
		report_remove_failure(result);
}

// For the start button, which can find out before the watch that a player
// is gone: the rebuild the watch would make comes now, and only once.
void refresh_player_list()
{
	if (profiles.pending_refresh)
		g_source_remove(profiles.pending_refresh);
	profiles.pending_refresh = 0;
	rebuild_keeping_active();
}

// What say_under_selector said stays while the player active then stays
// active: a rebuild for a change on disk that arrives late keeps it, the
// choice of another player ends it.
static struct {
	std::string text;
	std::optional<std::string> player;
} said;

static void keep_said(GtkComboBox *, gpointer)
{
	std::optional<std::string> active = combo_active_text(ZelkWidget.joueur);
	if (said.text.empty() || !active) // none is active only inside a rebuild
		return;
	if (active != said.player) {
		said.text.clear();
		return;
	}
	gtk_label_set_text(GTK_LABEL(ZelkWidget.aide_joueur), said.text.c_str());
	gtk_widget_set_visible(ZelkWidget.aide_joueur, TRUE);
}

void say_under_selector(const std::string &text)
{
	said.text = text;
	said.player = combo_active_text(ZelkWidget.joueur);
	// After change_joueur, whose hint would replace the text.
	if (!g_object_get_data(G_OBJECT(ZelkWidget.joueur), "keeps-said")) {
		g_signal_connect_after(ZelkWidget.joueur, "changed", G_CALLBACK(keep_said),
		                       nullptr);
		g_object_set_data(G_OBJECT(ZelkWidget.joueur), "keeps-said", GINT_TO_POINTER(1));
	}
	gtk_label_set_text(GTK_LABEL(ZelkWidget.aide_joueur), text.c_str());
	gtk_widget_set_visible(ZelkWidget.aide_joueur, TRUE);
}
