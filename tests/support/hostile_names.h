// Player names that could trip a launcher up: shell and path syntax,
// control bytes, text that is not UTF-8, lengths at the limits. One list
// for every test that hands names to the launcher; each test takes the
// names its rule is about by the fields.
#pragma once

#include "profiles/profile_tree.h"

#include <functional>
#include <string>
#include <vector>

struct HostileName {
	std::string name;
	NameProblem problem; // what the check of a new player's name says
	bool listed;         // shown as a player when its directory exists
	const char *why;

	bool accepted() const { return problem == NameProblem::none; }
	// Text a user can type into the add window: UTF-8 without control bytes.
	bool typeable() const;
};

extern const std::vector<HostileName> hostile_names;

// The names of the list for which `keep` holds.
std::vector<std::string> hostile_names_where(const std::function<bool(const HostileName &)> &keep);
