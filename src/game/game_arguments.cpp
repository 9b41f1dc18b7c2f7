#include "game/game_arguments.h"

char mode_letter(int position)
{
	if (position >= 1 && position <= 4)
		return 'f';
	if (position >= 7 && position <= 9)
		return 'w';
	return '0';
}

std::vector<std::string> game_arguments(const GameChoices &c)
{
	return {c.player,   std::string("-") + c.mode, c.resolution,
	        c.language, c.music ? "1" : "0",       c.sound_effects ? "1" : "0"};
}
