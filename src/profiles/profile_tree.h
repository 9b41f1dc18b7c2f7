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

enum class NameProblem { none, empty, dot_or_dotdot, separator, leading_dot, too_long, control };

NameProblem check_player_name(std::string_view name);
const char *name_problem_message(NameProblem problem);

// Refuses what check_player_name refuses, touching nothing; true when
// profils/NAME is a directory afterwards.
bool create_player(const std::string &name);

// removed: the player and all below it are gone.
// leftovers: the player is no longer listed, but some of its files are
//   still in `leftover` (a hidden entry of profils, as a relative path).
// not_a_directory: a file, FIFO, socket, device or a link to anything but
//   a directory: kept as it is.
// missing: no such player (or no profils); not_allowed: the player could
//   not be taken out of profils; failed: anything else, or a name that is
//   not one listable entry of profils (EINVAL).
// Unless the outcome is removed or leftovers, nothing was changed.
enum class RemoveOutcome { removed, leftovers, not_a_directory, missing, not_allowed, failed };

struct RemoveResult {
	RemoveOutcome outcome;
	int error; // errno behind the outcome, 0 when there is none
	std::string leftover;
};

// Any listable player may go, also one whose name the add window would
// refuse; a name that is not one listable entry of profils (empty, "." or
// "..", a '/' or NUL, a leading '.') touches nothing.
RemoveResult remove_player(const std::string &name);
// What the delete window says about a result, in French; empty for
// removed. The player is not named: the confirmation shows the name
// already, and so the text needs no check that the name is valid UTF-8.
std::string remove_message(const RemoveResult &result);
