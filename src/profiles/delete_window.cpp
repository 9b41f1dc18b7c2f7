#include "profiles/delete_window.h"

#include "base/reentry.h"
#include "base/combo_box.h"
#include "base/displayable.h"
#include "base/message_dialog.h"
#include "interface/handlers.h"
#include "interface/main_window.h"
#include "profiles/player_removal.h"
#include "profiles/profile_texts.h"
#include "profiles/selector.h"

#include <optional>
#include <string>

static const WantedWidget window_wanted = {"suppression", gtk_window_get_type, true};
static const WantedWidget label_wanted = {"label22", gtk_label_get_type, true};
static const WantedWidget error_wanted = {"erreur_suppression", gtk_label_get_type, false};
// Greyed out when there is nothing to confirm: any widget can be.
static const WantedWidget confirm_wanted = {"bouton_supprimer", gtk_widget_get_type, false};
static const WantedWidget cancel_wanted = {"annuler_suppression", gtk_button_get_type, false};

const std::vector<WantedWidget> delete_window_widgets = {window_wanted, label_wanted, error_wanted,
                                                         confirm_wanted, cancel_wanted};

// The delete window, built anew at every opening.
static struct {
	InterfaceTreePtr tree;
	GtkWidget *window; // null while it is not open
	GtkWidget *label;
	// The player the window asked about: the list may change under it,
	// and only the player the user confirmed may go.
	std::optional<std::string> confirmed;
	// Each handler while it runs.
	bool opening, closing, deleting;
} removal;

static GtkWidget *widget(const WantedWidget &wanted)
{
	return zelk_optional_widget(*removal.tree, wanted);
}

static void ask_about(const std::optional<std::string> &player)
{
	removal.confirmed = player;
	if (player) {
		std::string shown = displayable(*player);
		gtk_label_set_text(GTK_LABEL(removal.label), confirmation_text(shown).c_str());
		gtk_widget_set_tooltip_text(removal.label, shown.c_str());
		return;
	}
	gtk_label_set_text(GTK_LABEL(removal.label), no_player_selected);
	if (GtkWidget *confirm = widget(confirm_wanted))
		gtk_widget_set_sensitive(confirm, FALSE);
}

// The field is cleared first, so that the window, whose destruction runs
// the closing handler again, is destroyed once.
static void close_window()
{
	back_to_main();
	GtkWidget *window = removal.window;
	removal.window = nullptr;
	removal.label = nullptr;
	removal.confirmed.reset();
	if (window)
		gtk_widget_destroy(window);
}

// The window stays open to say what went wrong. Where the player is gone
// all the same, or was never a player, there is nothing left to confirm:
// the window only offers to close, and a file whose window cannot show
// that has the next confirmation close it.
static void report_remove_failure(const RemoveResult &result)
{
	std::string why = remove_message(result);
	if (GtkWidget *error = widget(error_wanted))
		gtk_label_set_text(GTK_LABEL(error), why.c_str());
	else
		show_message_over(removal.window, why.c_str());
	bool may_retry = result.outcome == RemoveOutcome::not_allowed ||
	                 result.outcome == RemoveOutcome::failed;
	if (may_retry)
		return;
	removal.confirmed.reset();
	if (GtkWidget *confirm = widget(confirm_wanted))
		gtk_widget_set_sensitive(confirm, FALSE);
	if (GtkWidget *cancel = widget(cancel_wanted)) {
		gtk_button_set_label(GTK_BUTTON(cancel), close_label);
		gtk_widget_grab_focus(cancel);
	}
}

static void show_what_is_left(const RemoveResult &result)
{
	switch (result.outcome) {
	case RemoveOutcome::removed:
	case RemoveOutcome::leftovers:
		creer_combobox_joueurs();
		select_first_player();
		break;
	case RemoveOutcome::missing:
		refresh_player_list();
		break;
	default:
		break;
	}
}

extern "C" void ouvrir_fenetre_suppression(GtkWidget *emitter, gpointer)
{
	ReentryGuard guard(removal.opening);
	if (!guard)
		return;
	// A file may bind the opening to a second signal: one window is enough.
	if (removal.window) {
		gtk_window_present(GTK_WINDOW(removal.window));
		return;
	}
	grey_out_main(emitter);
	removal.tree = zelk_tree_load(window_wanted.id);
	zelk_widget_load(*removal.tree, window_wanted.id, &removal.window);
	zelk_widget_load(*removal.tree, label_wanted.id, &removal.label);
	open_over_main(removal.window);
	ask_about(combo_active_text(ZelkWidget.joueur));
}

// Also runs when the delete window is destroyed by other means.
extern "C" void fermer_fenetre_suppression(GtkWidget *, gpointer)
{
	ReentryGuard guard(removal.closing);
	if (!guard)
		return;
	close_window();
}

extern "C" void supprimer_joueur(GtkWidget *, gpointer)
{
	ReentryGuard guard(removal.deleting);
	if (!guard)
		return;
	if (!removal.confirmed) {
		close_window();
		return;
	}
	RemoveResult result = remove_player(*removal.confirmed);
	show_what_is_left(result);
	if (result.outcome == RemoveOutcome::removed)
		close_window();
	else
		report_remove_failure(result);
}
