// Whether the Wine on PATH can run a 32-bit Windows program, told from its
// installed files alone: starting it to ask would be slow and would leave a
// wineserver behind. Debian's "wine" without its 32-bit part hands a 32-bit
// game to its 64-bit loader, which only complains on standard error, where
// a player who started the launcher from the menu never looks.
#pragma once

#include <string>

enum class Wine32 {
	runs,    // a 32-bit loader, or a 64-bit one with the 32-bit side of WoW64
	missing, // a 64-bit install without its 32-bit part
	unknown, // a layout not recognised: the game is tried
};

// What the installation of the executable `wine` says.
Wine32 wine_32_bit_part(const std::string &wine);
