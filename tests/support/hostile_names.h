// Player names that could trip a launcher up: shell and path syntax,
// control bytes, text that is not UTF-8, lengths at the limits. One list
// for every test that hands names to the launcher; each test takes the
// names its rule is about by the fields.
#pragma once

#include "profiles/names.h"

#include <glib.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

struct HostileName {
	std::string name;
	NameProblem problem; // what the check of a new player's name says
	bool listed;         // shown as a player when its directory exists
	const char *why;

	bool accepted() const { return problem == NameProblem::none; }
	bool refused() const { return !accepted(); }
	// Text a user can type into the add window: UTF-8 without control bytes.
	bool typeable() const
	{
		return g_utf8_validate(name.data(), gssize(name.size()), nullptr) &&
		       std::none_of(name.begin(), name.end(),
		                    [](char c) { return (unsigned char)c < 0x20 || c == 0x7f; });
	}
};

// Each name with what it is for, and the list's shorthands.
namespace hostile {
using P = NameProblem;
inline const bool listed = true, hidden = false;
inline const std::string name49(max_player_name, 'n'), name50(max_player_name + 1, 'n');

inline const std::vector<HostileName> names = {
        {"bob", P::none, listed, "a plain name, for contrast"},
        // Shell syntax: a name that reached a shell would be split, or run.
        {"a b  c", P::none, listed, "spaces, one of them doubled"},
        {" ", P::none, listed, "nothing but a space"},
        {"\"quoted\"", P::none, listed, "double quotes"},
        {"it's", P::none, listed, "a single quote"},
        {"\"q\" 'q'", P::none, listed, "both quotes"},
        {"it's \"me\" & `id`", P::none, listed, "quotes and a command"},
        {"$(id)", P::none, listed, "command substitution"},
        {"`id`", P::none, listed, "command substitution, the old way"},
        {"a;touch x", P::none, listed, "a second command, which leaves the file x"},
        {"a && b", P::none, listed, "a list of commands"},
        {"a&b|c>d", P::none, listed, "background, pipe and redirection"},
        {"~", P::none, listed, "the home directory"},
        {"-x", P::none, listed, "an option to the program it is passed to"},
        {"%s%n", P::none, listed, "format directives"},
        {"a.b", P::none, listed, "a dot that does not lead"},
        // Text beyond ASCII.
        {"Zo\xc3\xa9", P::none, listed, "UTF-8"},
        {"\xc3\xa9 \xc3\xbc", P::none, listed, "UTF-8 and a space"},
        {"\x80\xff", P::none, listed, "bytes that are not UTF-8"},
        {"bad\xff\xfe utf8", P::none, listed, "bytes that are not UTF-8 among ASCII"},
        // Control bytes: refused for a new player, listed when made otherwise.
        {"tab\there", P::control, listed, "a tab"},
        {"\t", P::control, listed, "nothing but a tab"},
        {"new\nline", P::control, listed, "a line break"},
        {"a\nb", P::control, listed, "a line break between letters"},
        {"\r", P::control, listed, "a carriage return"},
        {"\x01x", P::control, listed, "the first control byte"},
        {"x\x1f", P::control, listed, "the last control byte below the space"},
        {"del\x7f", P::control, listed, "DEL"},
        {"next\xc2\x85line", P::control, listed, "NEL, a C1 control that breaks lines"},
        {"x\x7f", P::control, listed, "DEL at the end"},
        // Format characters: what they change does not show.
        {"alice\u202eevil", P::invisible, listed, "a right-to-left override: alicelive"},
        {"bo\u200bb", P::invisible, listed, "a zero-width space"},
        {"\u2066x\u2069", P::invisible, listed, "a left-to-right isolate"},
        {"x\ufeff", P::invisible, listed, "a zero-width no-break space"},
        {"\u00ad", P::invisible, listed, "nothing but a soft hyphen"},
        // Path syntax: never more nor less than one entry of profils.
        {"", P::empty, hidden, "no name at all"},
        {".", P::dot_or_dotdot, hidden, "profils itself"},
        {"..", P::dot_or_dotdot, hidden, "the directory above profils"},
        {"../x", P::separator, hidden, "a file beside profils"},
        {"../outside", P::separator, hidden, "a directory beside profils"},
        {"profils/..", P::separator, hidden, "a way round to the working directory"},
        {"a/b", P::separator, hidden, "two levels down"},
        {"/etc", P::separator, hidden, "an absolute path"},
        {"a\\b", P::separator, listed, "a backslash, a separator elsewhere"},
        {"back\\slash\\", P::separator, listed, "backslashes, one at the end"},
        {"..\\x", P::separator, hidden, "up a level, with a backslash"},
        {std::string("a\0b", 3), P::separator, hidden, "a NUL, which ends the path early"},
        {".hidden", P::leading_dot, hidden, "a hidden entry"},
        {"...", P::leading_dot, hidden, "dots only, more than two"},
        // Several faults: the earlier check speaks.
        {".\n", P::leading_dot, hidden, "a leading dot and a line break"},
        {"a/\t", P::separator, hidden, "a separator and a tab"},
        {name49 + "\n", P::too_long, listed, "too long, and a line break"},
        // Lengths.
        {name49, P::none, listed, "the longest name the add window takes"},
        {name50, P::too_long, listed, "one byte too long"},
        {std::string(255, 'L'), P::too_long, listed, "the longest name the disk takes"},
};
} // namespace hostile

inline const std::vector<HostileName> &hostile_names = hostile::names;

// The names of the list for which `keep` holds.
inline std::vector<std::string>
hostile_names_where(const std::function<bool(const HostileName &)> &keep)
{
	std::vector<std::string> names;
	for (const HostileName &n : hostile_names)
		if (keep(n))
			names.push_back(n.name);
	return names;
}
