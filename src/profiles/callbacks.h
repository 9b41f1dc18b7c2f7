// The player selector and the add and delete windows.
#pragma once

#include <gtk/gtk.h>

#include <string>

// Rebuilds the selector from the profiles directory, in sorted order; no
// row is active afterwards.
void creer_combobox_joueurs();

// Keeps the selector in step with profils while the main window lives:
// players made or removed by other programs come and go, the active one
// stays active while it exists, and the start button is usable only with a
// player.
void watch_profiles();

// Rebuilds the selector from disk now, keeping the active player while it
// exists.
void refresh_player_list();

// Shows `text` in the line under the selector, until the list next changes.
void say_under_selector(const std::string &text);

// The confirmation the delete window asks for `player`.
std::string confirmation_text(const std::string &player);

extern "C" {
void change_joueur(GtkWidget *widget, gpointer data);
void ouvrir_fenetre_ajout(GtkWidget *widget, gpointer data);
void fermer_fenetre_ajout(GtkWidget *widget, gpointer data);
void creer_joueur(GtkWidget *widget, gpointer data);
void ouvrir_fenetre_suppression(GtkWidget *widget, gpointer data);
void fermer_fenetre_suppression(GtkWidget *widget, gpointer data);
void supprimer_joueur(GtkWidget *widget, gpointer data);
}
