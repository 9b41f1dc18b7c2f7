#include "profiles/names.h"

#include "profiles/dir.h"

#include <algorithm>

static bool is_control(char c)
{
	unsigned char b = c;

	return b < 0x20 || b == 0x7f;
}

static unsigned char fold(unsigned char c)
{
	return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// Byte order after folding, a prefix first: the order of strcmp on
// lower-cased copies, without making the copies.
static bool folded_less(const std::string &a, const std::string &b)
{
	std::size_t n = std::min(a.size(), b.size());
	for (std::size_t i = 0; i < n; i++) {
		unsigned char ca = fold(a[i]), cb = fold(b[i]);
		if (ca != cb)
			return ca < cb;
	}
	return a.size() < b.size();
}

NameProblem check_player_name(std::string_view name)
{
	if (name.empty())
		return NameProblem::empty;
	if (name == "." || name == "..")
		return NameProblem::dot_or_dotdot;
	// A NUL would end the path early in every system call.
	if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos)
		return NameProblem::separator;
	if (name[0] == '.')
		return NameProblem::leading_dot;
	if (name.size() > max_player_name)
		return NameProblem::too_long;
	// A line break or a tab in a directory name breaks every tool that
	// reads names a line at a time.
	if (std::any_of(name.begin(), name.end(), is_control))
		return NameProblem::control;
	return NameProblem::none;
}

bool names_one_entry(const std::string &name)
{
	return !name.empty() && name != "." && name != ".." &&
	       name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

NameList lister_fichiers(const std::string &path)
{
	NameList list;
	Dir dir(opendir(path.c_str()));
	if (!dir)
		return list;
	while (const dirent *e = readdir(dir.get()))
		if (!hidden(e->d_name))
			list.emplace_back(e->d_name);
	return list;
}

// Names equal after folding (Bob, bob) keep their listing order, as with an
// exchange sort that swaps only on "greater".
NameList &trier_liste(NameList &list)
{
	std::stable_sort(list.begin(), list.end(), folded_less);
	return list;
}
