// The player selector made to hold thousands of players: listed rather
// than made a menu of, measured once rather than row by row. Each step has
// its moment in the building of the main window.
#pragma once

// Before the main window is built, which takes the style up.
void list_players_in_a_list();

// Once the main window is built, hidden, and before the rows go in.
void tune_selector_before_rows();

// Once the rows are in.
void measure_one_player_row();
