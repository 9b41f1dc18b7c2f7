// The hidden name a player takes while it is deleted: ".suppression-" and
// six letters or digits. Beginning with a full stop, it is never listed;
// not built from the player's name, which may be as long as a name can be.
#pragma once

#include <string>
#include <string_view>

// A fresh one, drawn at random.
std::string hideout_name();

// Exactly the names hideout_name() makes.
bool is_hideout_name(std::string_view name);
