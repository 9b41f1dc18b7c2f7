#include "profiles/namelist.h"

#include <dirent.h>

#include <algorithm>
#include <memory>

namespace {

struct DirCloser {
	void operator()(DIR *dir) const { closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

} // namespace

static unsigned char
fold(unsigned char c)
{
	return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

/* Byte order after folding, a prefix first: the order of strcmp on
 * lower-cased copies, without making the copies. */
static bool
folded_less(const std::string &a, const std::string &b)
{
	std::size_t n = std::min(a.size(), b.size());

	for (std::size_t i = 0; i < n; i++) {
		unsigned char ca = fold(a[i]), cb = fold(b[i]);
		if (ca != cb)
			return ca < cb;
	}
	return a.size() < b.size();
}

NameList
lister_fichiers(const std::string &path)
{
	NameList list;
	Dir dir(opendir(path.c_str()));

	if (!dir)
		return list;
	while (const dirent *e = readdir(dir.get()))
		if (e->d_name[0] != '.')
			list.emplace_back(e->d_name);
	return list;
}

/* A stable sort keeps names that are equal after folding (Bob, bob) in
 * listing order, as an exchange sort that swaps only on "greater" does. */
NameList &
trier_liste(NameList &list)
{
	std::stable_sort(list.begin(), list.end(), folded_less);
	return list;
}

int
compter_liste(const NameList &list)
{
	return static_cast<int>(list.size());
}

std::string
strtolower(std::string_view text)
{
	std::string lower(text);

	for (char &c : lower)
		c = static_cast<char>(fold(c));
	return lower;
}

NameList
del_elem_liste(NameList list, const std::string &name)
{
	list.erase(std::remove(list.begin(), list.end(), name), list.end());
	return list;
}
