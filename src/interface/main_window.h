// The main window: its interface tree and the registry of its widgets,
// which every handler works on. Start-up builds it; the registry empties
// itself when the window goes. The sub-windows keep their own widgets.
#pragma once

#include "interface/wanted_widgets.h"

#include <gtk/gtk.h>

#include <vector>

// Plain handles, owned by the toolkit; all null while there is no main
// window.
struct ZelkWidgetRegistry {
	GtkWidget *main;
	GtkWidget *langue;
	GtkWidget *resolution;
	GtkWidget *joueur;
	GtkWidget *nbretoiles;
	GtkWidget *checkbutton4;
	GtkWidget *checkbutton3;
	GtkWidget *vbox1;
	GtkWidget *gl_area;
	GtkWidget *jouer;       // "bouton_jouer"
	GtkWidget *aide_joueur; // the line under the selector
};

// Written by main_window.cpp alone.
extern const ZelkWidgetRegistry &ZelkWidget;

// The main window's widgets, the window first, in the order a file is
// checked for them.
extern const std::vector<WantedWidget> main_window_widgets;

// Builds the main window, hidden, from the interface file as read, and
// fills the registry; a missing widget ends the process with status 1.
void main_window_load();

// The banner, once start-up has put it into the window.
void main_window_set_banner(GtkWidget *area);

// A sub-window greys the main window out while it is open, and gives it
// back the keyboard when it closes, on the widget that opened it: `opener`,
// the widget whose signal opened it when that is one of the main window's,
// else the one that had the keyboard. The main window may be gone by the
// time a sub-window closes.
void grey_out_main(GtkWidget *opener);
void set_main_sensitive(bool sensitive);
void open_over_main(GtkWidget *window);
void back_to_main();
