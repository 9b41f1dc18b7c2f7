#include "shell/launch.h"

#include "base/widgets.h"
#include "base/platform.h"
#include "base/reentry.h"

char mode_letter(int position)
{
	if (position >= 1 && position <= 4)
		return 'f';
	if (position >= 7 && position <= 9)
		return 'w';
	return '0';
}

std::vector<std::string> game_arguments(const std::string &player, char letter,
                                        const std::string &resolution, const std::string &langue,
                                        bool checkbutton3, bool checkbutton4)
{
	return {player, std::string("-") + letter, resolution,
	        langue, checkbutton3 ? "1" : "0",  checkbutton4 ? "1" : "0"};
}

static bool is_on(GtkWidget *check)
{
	return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check));
}

// Tells the user why the game did not start; the launcher stays open with
// the choices made, so that the user can put things right and try again.
static void report_start_failure(const std::string &why)
{
	GtkWidget *dialog = gtk_message_dialog_new(
	        GTK_WINDOW(ZelkWidget.main), GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_NONE,
	        "Impossible de lancer le jeu « %s ».", game_program);
	// Not the stock button, whose label follows the locale: the launcher
	// speaks French whatever the locale.
	gtk_dialog_add_button(GTK_DIALOG(dialog), "_Fermer", GTK_RESPONSE_CLOSE);
	gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", why.c_str());
	gtk_window_set_title(GTK_WINDOW(dialog), "Trovik");
	g_signal_connect(dialog, "response", G_CALLBACK(gtk_widget_destroy), nullptr);
	gtk_widget_show(dialog);
}

extern "C" void lancer_jeu(GtkWidget *, gpointer)
{
	static bool busy = false;
	ReentryGuard guard(busy);
	if (!guard)
		return;
	char letter = mode_letter(gtk_combo_box_get_active(GTK_COMBO_BOX(ZelkWidget.resolution)));
	std::optional<std::string> player = combo_active_text(ZelkWidget.joueur);
	if (!player)
		return;
	bool check4 = is_on(ZelkWidget.checkbutton4);
	bool check3 = is_on(ZelkWidget.checkbutton3);
	std::string langue = combo_active_text(ZelkWidget.langue).value_or("");
	std::string resolution = combo_active_text(ZelkWidget.resolution).value_or("");

	std::string why = start_program(
	        game_program, game_arguments(*player, letter, resolution, langue, check3, check4));
	if (!why.empty()) {
		report_start_failure(why);
		return;
	}
	gtk_widget_destroy(ZelkWidget.main);
	end_process(0);
}
