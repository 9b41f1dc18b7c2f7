#include "profiles/namelist.h"
#include "profiles/dir.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <memory>

static unsigned char
fold(unsigned char c)
{
	return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

/* Where the file system counts a directory's subdirectories in its link
 * count, the players of profils are counted before they are read: the list
 * is then allocated once, instead of moving every name at each growth. */
static std::size_t
subdirectory_hint(DIR *dir)
{
	struct stat st;

	if (fstat(dirfd(dir), &st) != 0 || st.st_nlink < 2)
		return 0;
	return std::min<std::size_t>(st.st_nlink - 2, 1u << 20);
}

NameList
lister_fichiers(const std::string &path)
{
	NameList list;
	Dir dir(opendir(path.c_str()));

	if (!dir)
		return list;
	list.reserve(subdirectory_hint(dir.get()));
	while (const dirent *e = readdir(dir.get()))
		if (!hidden(e->d_name))
			list.emplace_back(e->d_name);
	return list;
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

/* The byte of `name` at `pos` as a sort digit: 0 past the end, so that a
 * prefix sorts first, else the folded byte plus one. */
static unsigned
digit(const std::string &name, std::size_t pos)
{
	return pos < name.size() ? fold(name[pos]) + 1u : 0u;
}

/* A least-significant-digit radix sort of the positions, one counting pass
 * a byte position from the last: each pass is stable, so the whole is. */
static std::vector<std::uint32_t>
radix_order(const NameList &list, std::size_t width)
{
	std::vector<std::uint32_t> order(list.size()), next(list.size());

	std::iota(order.begin(), order.end(), 0u);
	for (std::size_t pos = width; pos-- > 0;) {
		std::array<std::uint32_t, 258> start{};
		for (std::uint32_t i : order)
			start[digit(list[i], pos) + 1]++;
		for (std::size_t d = 1; d < start.size(); d++)
			start[d] += start[d - 1];
		for (std::uint32_t i : order)
			next[start[digit(list[i], pos)]++] = i;
		order.swap(next);
	}
	return order;
}

/* Puts the name at order[k] into position k, following each cycle of the
 * permutation, so that no second list is allocated. */
static void
permute(NameList &list, std::vector<std::uint32_t> order)
{
	for (std::uint32_t start = 0; start < order.size(); start++) {
		if (order[start] == start)
			continue;
		std::string first = std::move(list[start]);
		std::uint32_t k = start;
		while (order[k] != start) {
			std::uint32_t from = order[k];
			list[k] = std::move(list[from]);
			order[k] = k;
			k = from;
		}
		list[k] = std::move(first);
		order[k] = k;
	}
}

/* Names equal after folding (Bob, bob) keep their listing order, as with an
 * exchange sort that swaps only on "greater". Short names, the usual case,
 * take the radix sort, linear in the number of names; a list holding long
 * names takes a merge sort whose comparison neither folds copies nor
 * allocates. */
NameList &
trier_liste(NameList &list)
{
	static const std::size_t radix_width = 64;
	std::size_t width = 0;

	if (list.size() < 2)
		return list;
	for (const std::string &name : list)
		width = std::max(width, name.size());
	if (width > radix_width || list.size() > UINT32_MAX) {
		std::stable_sort(list.begin(), list.end(), folded_less);
		return list;
	}
	permute(list, radix_order(list, width));
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
