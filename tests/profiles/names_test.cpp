#include "profiles/names.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

NameList sorted_copy(NameList list)
{
	std::sort(list.begin(), list.end());
	return list;
}

// Only the 26 capital letters fold; every other byte is itself.
std::string lower(std::string text)
{
	for (char &c : text)
		if (c >= 'A' && c <= 'Z')
			c = char(c - 'A' + 'a');
	return text;
}

// The quadratic exchange sort on lower-cased copies, pass after full pass
// until nothing moves: the order trier_liste must reproduce.
NameList exchange_sorted(NameList list)
{
	bool exchanged = list.size() > 1;
	while (exchanged) {
		exchanged = false;
		for (std::size_t i = 0; i + 1 < list.size(); i++) {
			std::string a = lower(list[i]), b = lower(list[i + 1]);
			if (std::strcmp(a.c_str(), b.c_str()) > 0) {
				std::swap(list[i], list[i + 1]);
				exchanged = true;
			}
		}
	}
	return list;
}

} // namespace

TEST(ListerFichiers, ListsVisibleEntriesWholeAndUnreadablePathsAsEmpty)
{
	TempDir tmp;
	const std::string long_name = "L" + std::string(198, 'n') + "z";
	fs::create_directories(tmp / "long" / long_name);
	for (const char *dir : {"visible/bob", "visible/.old", "empty"})
		fs::create_directories(tmp / dir);
	for (const char *file : {"visible/notes.txt", "visible/.config", "visible/Zo\xc3\xa9",
	                         "visible/caf\xe9", "empty/.hidden", "plain"})
		write_file(tmp / file, "x");
	const std::pair<const char *, NameList> cases[] = {
	        {"visible", {"bob", "notes.txt", "Zo\xc3\xa9", "caf\xe9"}},
	        {"long", {long_name}},
	        {"empty", {}},
	        {"plain", {}},
	        {"missing", {}},
	        {"plain/below", {}},
	};
	for (const auto &[dir, listed] : cases)
		EXPECT_EQ(sorted_copy(lister_fichiers((tmp / dir).string())), sorted_copy(listed))
		        << dir;
}

// Capitals fold, equal names keep their listing order, bytes compare
// unsigned and a prefix comes first; the list is sorted in place.
TEST(TrierListe, SortsInPlaceAsTheLauncherAlwaysDid)
{
	const std::pair<NameList, NameList> cases[] = {
	        {{"beta", "Alpha", "alpha", "Gamma"}, {"Alpha", "alpha", "beta", "Gamma"}},
	        {{"alpha", "beta", "Alpha", "BETA", "ALPHA"},
	         {"alpha", "Alpha", "ALPHA", "beta", "BETA"}},
	        {{"Zo\xc3\xa9", "zoz", "Zoe"}, {"Zoe", "zoz", "Zo\xc3\xa9"}},
	        // '[', '_' and '`' lie between the capitals and the small letters.
	        {{"ab", "a_", "A", "a[", "a`", "a9", "aB", "a\x7f"},
	         {"A", "a9", "a[", "a_", "a`", "ab", "aB", "a\x7f"}},
	        {{}, {}},
	        {{"Solo"}, {"Solo"}},
	};
	for (const auto &[unsorted, sorted] : cases) {
		NameList list = unsorted;
		EXPECT_EQ(&trier_liste(list), &list);
		EXPECT_EQ(list, sorted) << testing::PrintToString(unsorted);
	}
}

TEST(TrierListe, MatchesTheExchangeSortOnRandomLists)
{
	const std::string bytes = "aAbBzZ_0@[\xc3\xa9";
	std::mt19937 gen(1234);
	std::uniform_int_distribution<std::size_t> pick(0, bytes.size() - 1), len(1, 4),
	        size(0, 40);

	for (int round = 0; round < 500; round++) {
		NameList list(size(gen));
		for (std::string &name : list)
			for (std::size_t n = len(gen); n > 0; n--)
				name += bytes[pick(gen)];
		// Long names too: the disk allows up to 255 bytes.
		if (round % 2 && !list.empty())
			list[0] = std::string(70, bytes[pick(gen)]) + list[0];
		NameList expected = exchange_sorted(list);
		ASSERT_EQ(trier_liste(list), expected) << "round " << round;
	}
}
