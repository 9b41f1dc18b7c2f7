// The start button: the choices of the main window become the game's
// arguments (game_arguments.h), and the game replaces the launcher.
#include "base/combo_box.h"
#include "base/displayable.h"
#include "base/message_dialog.h"
#include "base/platform.h"
#include "base/reentry.h"
#include "game/game_arguments.h"
#include "game/game_start.h"
#include "interface/handlers.h"
#include "interface/main_window.h"
#include "profiles/profile_tree.h"
#include "profiles/selector.h"

#include <sys/stat.h>

#include <cerrno>

// The start button's handler while it runs.
static struct {
	bool busy;
} start_button;

static bool is_on(GtkWidget *check)
{
	return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check));
}

static GameChoices choices_for(const std::string &player)
{
	GtkComboBox *resolution = GTK_COMBO_BOX(ZelkWidget.resolution);
	return {player,
	        mode_letter(gtk_combo_box_get_active(resolution)),
	        combo_active_text(ZelkWidget.resolution).value_or(""),
	        combo_active_text(ZelkWidget.langue).value_or(""),
	        is_on(ZelkWidget.checkbutton3),
	        is_on(ZelkWidget.checkbutton4)};
}

// Tells the user why the game did not start; the launcher stays open with
// the choices made, so that the user can put things right and try again.
static void report_start_failure(const std::string &why)
{
	std::string what = std::string("Impossible de lancer le jeu « ") + game_program + " ».";
	// The reason may quote a link's target or a script's first line,
	// which need not be UTF-8.
	show_message_over(ZelkWidget.main, what.c_str(), displayable(why).c_str());
}

// The list follows profils with a delay: a player removed or renamed on
// disk just before the press may still be shown, and must not reach the game.
static bool gone_from_disk(const std::string &player)
{
	struct stat st;
	return lstat(player_path(player).c_str(), &st) != 0 &&
	       (errno == ENOENT || errno == ENOTDIR);
}

extern "C" void lancer_jeu(GtkWidget *, gpointer)
{
	ReentryGuard guard(start_button.busy);
	if (!guard)
		return;
	std::optional<std::string> player = combo_active_text(ZelkWidget.joueur);
	if (!player)
		return;
	if (gone_from_disk(*player)) {
		refresh_player_list();
		say_under_selector("Ce joueur n'existe plus.");
		return;
	}
	std::string why = start_game(game_program, game_arguments(choices_for(*player)));
	if (!why.empty()) {
		report_start_failure(why);
		return;
	}
	gtk_widget_destroy(ZelkWidget.main);
	end_process(0);
}
