// What the profile windows say, in French whatever the locale. No text
// here names the player: the windows show the name beside it, made
// displayable, so these need no check that a name is valid UTF-8.
#pragma once

#include "profiles/names.h"
#include "profiles/player_removal.h"

#include <string>

// Why a typed name is refused; empty for NameProblem::none.
const char *name_problem_message(NameProblem problem);

// What the delete window says about a result; empty for removed.
std::string remove_message(const RemoveResult &result);

// The confirmation the delete window asks for `player`.
std::string confirmation_text(const std::string &player);

inline constexpr const char *no_player_selected = "Aucun joueur n'est sélectionné.";
// What the add window says when the player's directory could not be
// made, for the errno value `error`.
std::string player_not_created(int error);
inline constexpr const char *close_label = "_Fermer";

// The line under the selector when there is no player: how to begin, or,
// for an `error` other than 0, why profils cannot be read.
std::string no_player_hint(int error);
