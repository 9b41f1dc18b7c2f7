#include "profiles/namelist.h"

#include "profiles/dir.h"

#include <algorithm>

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
