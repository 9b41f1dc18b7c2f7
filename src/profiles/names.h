// Player names: the rules a new one must keep, and the lists of names a
// directory holds, as the profile code lists and sorts them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t max_player_name = 49;

enum class NameProblem {
	none,
	empty,
	dot_or_dotdot,
	separator,
	leading_dot,
	too_long,
	control,
	invisible,  // a format character (Unicode Cf): bidi controls, zero widths
	look_alike, // another spelling of an existing player
};

NameProblem check_player_name(std::string_view name);

// A name that is a single entry of profils, not a path leading elsewhere.
// Players already on disk are taken by this rule alone: they may be
// names that check_player_name would refuse.
bool names_one_entry(const std::string &name);

using NameList = std::vector<std::string>;

// check_player_name, and then a name that is not one of `players` byte for
// byte but reads like one of them: the same once composed (NFC), without
// the code points that draw nothing (format characters, variation
// selectors...), with every kind of space a plain one and without spaces at
// either end. The very bytes of a player are that player.
NameProblem check_new_player_name(std::string_view name, const NameList &players);

// Every entry of `path` but the hidden ones, in the order the directory
// gives them; empty when `path` cannot be read.
NameList lister_fichiers(const std::string &path);
// A-Z folded to a-z, bytes compared unsigned, a prefix first; names equal
// after folding keep their order.
NameList &trier_liste(NameList &list);
