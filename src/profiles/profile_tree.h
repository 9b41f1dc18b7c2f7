// The profile tree on disk: profils/PLAYER/GROUP/RECORD, relative to the
// working directory. No player name ever reaches a shell.
#pragma once

#include <string>

inline constexpr const char *profiles_dir = "profils";

// "profils/NAME", for a name that names_one_entry accepts.
std::string player_path(const std::string &name);

// Entries two levels below profils/PLAYER; 0 for a player that is not there.
int count_records(const std::string &player);

// Refuses what check_player_name refuses (EINVAL), touching nothing; 0
// when profils/NAME is a directory afterwards, else the errno value of why
// not.
int create_player(const std::string &name);
