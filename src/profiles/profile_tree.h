// The profile tree on disk: profils/PLAYER/GROUP/RECORD, relative to the
// working directory. No player name ever reaches a shell.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr const char *profiles_dir = "profils";
inline constexpr std::size_t max_player_name = 49;

// Entries two levels below profils/PLAYER; 0 for a player that is not there.
int count_records(const std::string &player);

enum class NameProblem { none, empty, dot_or_dotdot, separator, leading_dot, too_long };

NameProblem check_player_name(std::string_view name);
const char *name_problem_message(NameProblem problem);

// Refuses what check_player_name refuses, touching nothing; true when
// profils/NAME is a directory afterwards.
bool create_player(const std::string &name);
// Refuses a name that is not one listable entry of profils (empty, "." or
// "..", a '/' or NUL, a leading '.'), touching nothing; true when
// profils/NAME is gone afterwards.
bool remove_player(const std::string &name);
