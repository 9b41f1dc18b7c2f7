// The game's command line, made from the choices of the main window.
#pragma once

#include <string>
#include <vector>

inline constexpr const char *game_program = "trovik.exe";

// The screen-mode letter for an active "resolution" position (-1 for none):
// 'f' full screen, 'w' windowed, '0' neither.
char mode_letter(int position);

// What the main window asks of the game, in the order of its command line.
struct GameChoices {
	std::string player;
	char mode; // mode_letter() of the resolution's position
	std::string resolution;
	std::string language;
	bool music;         // "checkbutton3"
	bool sound_effects; // "checkbutton4"
};

// The game's arguments: player, "-" and the mode letter, resolution,
// language, then the two switches as "1"/"0".
std::vector<std::string> game_arguments(const GameChoices &choices);
