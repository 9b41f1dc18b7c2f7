#include "base/message_dialog.h"

static GtkWidget *new_message_dialog(GtkWidget *over, const char *text, const char *detail)
{
	GtkWidget *dialog = gtk_message_dialog_new(
	        over ? GTK_WINDOW(over) : nullptr,
	        GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
	        GTK_MESSAGE_ERROR, GTK_BUTTONS_NONE, "%s", text);
	// Not the stock button, whose label follows the locale: the launcher
	// speaks French whatever the locale.
	gtk_dialog_add_button(GTK_DIALOG(dialog), "_Fermer", GTK_RESPONSE_CLOSE);
	if (detail)
		gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", detail);
	gtk_window_set_title(GTK_WINDOW(dialog), "Trovik");
	return dialog;
}

void show_message_over(GtkWidget *window, const char *text, const char *detail)
{
	GtkWidget *dialog = new_message_dialog(window, text, detail);
	g_signal_connect(dialog, "response", G_CALLBACK(gtk_widget_destroy), nullptr);
	gtk_widget_show(dialog);
}

void say_in_message_dialog(const char *text)
{
	GtkWidget *dialog = new_message_dialog(nullptr, text, nullptr);
	gtk_dialog_run(GTK_DIALOG(dialog));
	gtk_widget_destroy(dialog);
}
