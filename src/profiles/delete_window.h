// The delete window, "Supprimer un joueur": the confirmation for the
// active player, and the delete itself, which says in the window what went
// wrong when it could not be done.
#pragma once

#include "interface/wanted_widgets.h"

#include <vector>

// The widgets its handlers (interface/handlers.h) use, the window's own
// first: start-up checks the interface file for them.
extern const std::vector<WantedWidget> delete_window_widgets;
