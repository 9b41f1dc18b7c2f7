// The start button: the choices of the main window become the game's
// arguments, and the game replaces the launcher.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

inline constexpr const char *game_program = "trovik.exe";

// The screen-mode letter for an active "resolution" position (-1 for none):
// 'f' full screen, 'w' windowed, '0' neither.
char mode_letter(int position);

// The game's arguments, in the order of its command line: player, "-" and
// the mode letter, resolution, language, then the two switches as "1"/"0".
std::vector<std::string> game_arguments(const std::string &player, char letter,
                                        const std::string &resolution, const std::string &langue,
                                        bool checkbutton3, bool checkbutton4);

extern "C" void lancer_jeu(GtkWidget *widget, gpointer data);
