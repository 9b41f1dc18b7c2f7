#include "profiles/add_window.h"

#include "base/reentry.h"
#include "base/combo_box.h"
#include "base/displayable.h"
#include "base/message_dialog.h"
#include "interface/handlers.h"
#include "interface/main_window.h"
#include "profiles/names.h"
#include "profiles/profile_texts.h"
#include "profiles/profile_tree.h"
#include "profiles/selector.h"

#include <string>

static const WantedWidget window_wanted = {"ajout", gtk_window_get_type, true};
static const WantedWidget entry_wanted = {"entry1", gtk_entry_get_type, true};
static const WantedWidget error_wanted = {"erreur_ajout", gtk_label_get_type, false};

const std::vector<WantedWidget> add_window_widgets = {window_wanted, entry_wanted, error_wanted};

// The add window, built anew at every opening.
static struct {
	InterfaceTreePtr tree;
	GtkWidget *window; // null while it is not open
	GtkWidget *entry;
	// Each handler's own, for as long as it runs.
	bool opening, closing, creating;
} add;

// Keeps the add window open with the reason, so the name can be corrected.
static void refuse_name(const char *why)
{
	if (GtkWidget *label = zelk_optional_widget(*add.tree, error_wanted))
		gtk_label_set_text(GTK_LABEL(label), why);
	else
		show_message_over(add.window, why);
	gtk_widget_grab_focus(add.entry);
}

extern "C" void ouvrir_fenetre_ajout(GtkWidget *emitter, gpointer)
{
	ReentryGuard guard(add.opening);
	if (!guard)
		return;
	// A file may bind the opening to a second signal: one window is enough.
	if (add.window) {
		gtk_window_present(GTK_WINDOW(add.window));
		return;
	}
	grey_out_main(emitter);
	add.tree = zelk_tree_load(window_wanted.id);
	zelk_widget_load(*add.tree, entry_wanted.id, &add.entry);
	zelk_widget_load(*add.tree, window_wanted.id, &add.window);
	open_over_main(add.window);
}

// Runs when the add window goes away, whichever way it was closed.
extern "C" void fermer_fenetre_ajout(GtkWidget *, gpointer)
{
	ReentryGuard guard(add.closing);
	if (!guard)
		return;
	back_to_main();
	add.window = nullptr;
	add.entry = nullptr;
}

extern "C" void creer_joueur(GtkWidget *, gpointer)
{
	ReentryGuard guard(add.creating);
	if (!guard || !add.entry)
		return;
	std::string name = gtk_entry_get_text(GTK_ENTRY(add.entry));
	NameProblem problem = check_new_player_name(name, lister_fichiers(profiles_dir));
	if (problem != NameProblem::none) {
		refuse_name(name_problem_message(problem));
		return;
	}
	if (int error = create_player(name)) {
		refuse_name(player_not_created(error).c_str());
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
