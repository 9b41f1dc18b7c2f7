// The eight handlers the interface file names, each defined by the file of
// the window it serves. They are found by name at run time (and are the
// only symbols the program exports, handlers.list); nothing calls them.
#pragma once

#include <gtk/gtk.h>

extern "C" {
// The main window: launch.cpp, selector.cpp.
void lancer_jeu(GtkWidget *widget, gpointer data);
void change_joueur(GtkWidget *widget, gpointer data);
// "Nouveau joueur": add_window.cpp.
void ouvrir_fenetre_ajout(GtkWidget *widget, gpointer data);
void fermer_fenetre_ajout(GtkWidget *widget, gpointer data);
void creer_joueur(GtkWidget *widget, gpointer data);
// "Supprimer un joueur": delete_window.cpp.
void ouvrir_fenetre_suppression(GtkWidget *widget, gpointer data);
void fermer_fenetre_suppression(GtkWidget *widget, gpointer data);
void supprimer_joueur(GtkWidget *widget, gpointer data);
}
