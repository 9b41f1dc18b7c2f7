// The add window, "Nouveau joueur": a name typed, checked, and made a
// player, who becomes the active one.
#pragma once

#include "interface/wanted_widgets.h"

#include <vector>

// The widgets its handlers (interface/handlers.h) use, the window's own
// first: start-up checks the interface file for them.
extern const std::vector<WantedWidget> add_window_widgets;
