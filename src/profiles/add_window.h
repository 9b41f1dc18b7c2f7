// The add window, "Nouveau joueur": a name typed, checked, and made a
// player, who becomes the active one.
#pragma once

#include "interface/wanted_widgets.h"

#include <gtk/gtk.h>

#include <vector>

// The widgets its handlers use, the window's own first: start-up checks
// the interface file for them.
extern const std::vector<WantedWidget> add_window_widgets;

extern "C" {
void ouvrir_fenetre_ajout(GtkWidget *widget, gpointer data);
void fermer_fenetre_ajout(GtkWidget *widget, gpointer data);
void creer_joueur(GtkWidget *widget, gpointer data);
}
