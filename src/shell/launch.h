// The start button: the choices of the main window become the game's
// arguments (game_arguments.h), and the game replaces the launcher.
#pragma once

#include <gtk/gtk.h>

extern "C" void lancer_jeu(GtkWidget *widget, gpointer data);
