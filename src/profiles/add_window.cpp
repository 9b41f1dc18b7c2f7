#include "profiles/add_window.h"

#include "base/widgets.h"
#include "profiles/names.h"
#include "profiles/profile_texts.h"
#include "profiles/profile_tree.h"
#include "profiles/selector.h"

#include <string>

static const char window_id[] = "ajout";
static const char entry_id[] = "entry1";
static const char error_id[] = "erreur_ajout";

const std::vector<const char *> add_window_ids = {window_id, entry_id, error_id};

// The add window, built anew at every opening.
static struct {
	GladeXmlPtr tree;
	GtkWidget *window; // null while it is not open
	GtkWidget *entry;
} add;

// Keeps the add window open with the reason, so the name can be corrected.
static void refuse_name(const char *why)
{
	GtkWidget *label = glade_xml_get_widget(add.tree.get(), error_id);
	if (label)
		gtk_label_set_text(GTK_LABEL(label), why);
	gtk_widget_grab_focus(add.entry);
}

GtkWidget *add_window_widget(const char *id)
{
	return add.window ? glade_xml_get_widget(add.tree.get(), id) : nullptr;
}

extern "C" void ouvrir_fenetre_ajout(GtkWidget *, gpointer)
{
	set_main_sensitive(false);
	add.tree = zelk_tree_load(window_id);
	zelk_widget_load(add.tree.get(), entry_id, &add.entry);
	zelk_widget_load(add.tree.get(), window_id, &add.window);
	open_over_main(add.window);
}

// Runs when the add window goes away, whichever way it was closed.
extern "C" void fermer_fenetre_ajout(GtkWidget *, gpointer)
{
	back_to_main();
	add.window = nullptr;
	add.entry = nullptr;
}

extern "C" void creer_joueur(GtkWidget *, gpointer)
{
	if (!add.entry)
		return;
	std::string name = gtk_entry_get_text(GTK_ENTRY(add.entry));
	NameProblem problem = check_new_player_name(name, lister_fichiers(profiles_dir));
	if (problem != NameProblem::none) {
		refuse_name(name_problem_message(problem));
		return;
	}
	if (!create_player(name)) {
		refuse_name(player_not_created);
		return;
	}
	creer_combobox_joueurs();
	select_player(name);
	set_main_sensitive(true);
	gtk_widget_destroy(add.window);
	// The Enter that confirmed the name may well be pressed again: it must
	// land on the new player, not on the start button.
	gtk_widget_grab_focus(ZelkWidget.joueur);
}
