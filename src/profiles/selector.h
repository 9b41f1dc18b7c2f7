// The player selector of the main window: the players of profils in
// sorted order, the record count of the active one, and the line under it
// that says how to begin when there is none. It follows profils on disk
// while the main window lives.
#pragma once

#include <gtk/gtk.h>

#include <string>

// Gives the line under the selector a room of its own, the same whether it
// says something or not, so that the window keeps one size; it wraps
// within the width of its row rather than widen the window.
void keep_hint_room();

// Rebuilds the selector from the profiles directory, in sorted order; no
// row is active afterwards.
void creer_combobox_joueurs();

// Rebuilds it keeping the active player active while it exists; else the
// first player is.
void refresh_player_list();

// Shows `text` in the line under the selector while the player active now
// stays active, also through rebuilds for changes on disk.
void say_under_selector(const std::string &text);

// Starts counting the records of the first player, whom start-up makes
// active once the rest of the window is built.
void count_first_player_ahead();

// Makes `name` the active player when it is listed; whether it is.
bool select_player(const std::string &name);
void select_first_player();

// Keeps the selector in step with profils while the main window lives:
// players made or removed by other programs come and go, the active one
// stays active while it exists, and the start button is usable only with a
// player.
void watch_profiles();
