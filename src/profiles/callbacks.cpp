#include "profiles/callbacks.h"

#include "profiles/namelist.h"
#include "profiles/profile_tree.h"
#include "shell/interface.h"

#include <memory>

struct GFree {
	void operator()(gpointer p) const { g_free(p); }
};
using GString_ = std::unique_ptr<gchar, GFree>;

// Player names are directory names: any bytes but '/' and NUL. The store
// keeps them exactly, for the game and the disk; only what is shown is
// made valid UTF-8, so that a stray byte cannot garble the window.
static std::string displayable(const std::string &name)
{
	return GString_(g_utf8_make_valid(name.c_str(), -1)).get();
}

static void show_player_name(GtkCellLayout *, GtkCellRenderer *cell, GtkTreeModel *model,
                             GtkTreeIter *iter, gpointer)
{
	gchar *raw = nullptr;
	gtk_tree_model_get(model, iter, 0, &raw, -1);
	GString_ name(raw);
	g_object_set(cell, "text", name ? displayable(name.get()).c_str() : "", nullptr);
}

// A name may be 255 bytes long: the selector shows a width of its own and
// cuts long names in the middle, where a tooltip has them whole.
static const int shown_name_chars = 24;

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
	g_object_set(cell, "ellipsize", PANGO_ELLIPSIZE_MIDDLE, "width-chars", shown_name_chars, nullptr);
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
		GString_ text(raw);
		if (text && name == text.get())
			return row;
	}
	return -1;
}

static void set_main_sensitive(bool sensitive)
{
	gtk_widget_set_sensitive(ZelkWidget.main, sensitive);
}

static void open_over_main(GtkWidget *window)
{
	gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(ZelkWidget.main));
	gtk_window_present(GTK_WINDOW(window));
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
}

std::string confirmation_text(const std::string &player)
{
	return "Etes-vous sûr de\nvouloir définitivement\nsupprimer l'utilisateur suivant\n"
	       "et tous ses records ?\n\n" + player;
}

extern "C" void change_joueur(GtkWidget *, gpointer)
{
	std::optional<std::string> player = combo_active_text(ZelkWidget.joueur);
	int count = player ? count_records(*player) : 0;
	gtk_label_set_text(GTK_LABEL(ZelkWidget.nbretoiles), std::to_string(count).c_str());
	gtk_widget_set_tooltip_text(ZelkWidget.joueur, player ? displayable(*player).c_str() : nullptr);
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
	if (window)
		gtk_widget_destroy(window);
}

extern "C" void supprimer_joueur(GtkWidget *, gpointer)
{
	std::optional<std::string> player = combo_active_text(ZelkWidget.joueur);
	if (player) {
		remove_player(*player);
		creer_combobox_joueurs();
		gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), 0);
	}
	fermer_fenetre_suppression(nullptr, nullptr);
}
