// Why the launcher could not start, told from what it wrote: it ends with
// one line on standard output and status 1 when its interface file fails
// it. That line and status are its contract with whoever runs it; a player
// who started it from the menu sees neither, so the command says it again
// in French, with what to do. No toolkit here.
#pragma once

#include "command/game_dir.h"

#include <string>

// What to tell the player about a launcher that ended with `status` after
// writing `output` (its first bytes at least) in the game directory of
// `plan`; empty when it did not fail at start-up.
std::string launcher_failure(int status, const std::string &output, const GameDirPlan &plan);
