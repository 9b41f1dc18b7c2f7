#include "launcher/mode_text.h"

#include "game/game_arguments.h"

std::string closed_resolution_text(int position, const std::string &item)
{
	switch (mode_letter(position)) {
	case 'f':
		return item + " — plein écran";
	case 'w':
		return item + " — fenêtre";
	default:
		return item;
	}
}
