// Deleting a player with everything below it, all or nothing.
#pragma once

#include <string>

// removed: the player and all below it are gone.
// leftovers: the player is no longer listed, but some of its files are
//   still in `leftover` (a hidden entry of profils, as a relative path);
//   with EXDEV, what stays is a folder mounted inside, left alone with what
//   holds it, and `leftover` is the first one.
// not_a_directory: a file, FIFO, socket, device or a link to anything but
//   a directory: kept as it is.
// mounted: the player is itself a mount point: kept as it is.
// missing: no such player (or no profils); not_allowed: the player could
//   not be taken out of profils; failed: anything else, or a name that is
//   not one listable entry of profils (EINVAL).
// Unless the outcome is removed or leftovers, nothing was changed.
enum class RemoveOutcome {
	removed,
	leftovers,
	not_a_directory,
	mounted,
	missing,
	not_allowed,
	failed
};

struct RemoveResult {
	RemoveOutcome outcome;
	int error; // errno behind the outcome, 0 when there is none
	std::string leftover;
};

// Any listable player may go, also one whose name the add window would
// refuse; a name that is not one listable entry of profils (empty, "." or
// "..", a '/' or NUL, a leading '.') touches nothing.
RemoveResult remove_player(const std::string &name);
