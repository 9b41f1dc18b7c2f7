// The player's own game directory of an installed launcher. The launcher
// reads and writes the directory it runs in, and an install's files are
// read-only and shared; so each player gets a directory of their own, with
// a profils/ to write in and links to the shared files, and the launcher
// runs there. No toolkit here.
#pragma once

#include <string>

// Where the player's game directory lies, from the environment's values
// (null where unset) and the home directory of the password database.
struct PlayerHome {
	const char *xdg_data_home = nullptr;
	const char *home = nullptr;
	std::string password_home;
};

// $XDG_DATA_HOME/trovik, or ~/.local/share/trovik where XDG_DATA_HOME is
// unset, empty or relative (the base directory rules ignore those); empty
// when no home directory is known either.
std::string game_dir_of(const PlayerHome &where);

// An install's shared data directory and the player's game directory to
// lay out from it.
struct GameDirPlan {
	std::string shared;
	std::string game;
};

// Makes the game directory and its profils/ when missing and links the
// shared files into it, afresh at every start. What the player put there
// (files, directories, links that lead somewhere) is never touched; a link
// that leads nowhere is an earlier install's, and is pointed again. Returns
// an empty string, or why not in French.
std::string prepare_game_dir(const GameDirPlan &plan);

// Whether the player put something of their own at `name` in the game
// directory in place of the shared file: anything but nothing or a link to
// the shared file.
bool players_own(const GameDirPlan &plan, const std::string &name);
