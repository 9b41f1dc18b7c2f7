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

TEST(ListerFichiers, ListsEveryVisibleEntryAndDropsHiddenOnes)
{
	TempDir tmp;
	fs::create_directory(tmp / "bob");
	fs::create_directory(tmp / ".old");
	write_file(tmp / "notes.txt", "x");
	write_file(tmp / ".config", "x");
	write_file(tmp / "Zo\xc3\xa9", "");
	write_file(tmp / "caf\xe9", "");

	NameList list = lister_fichiers(tmp.path().string());
	EXPECT_EQ(sorted_copy(list), sorted_copy({"bob", "notes.txt", "Zo\xc3\xa9", "caf\xe9"}));
	EXPECT_EQ(list.size(), 4u);
}

TEST(ListerFichiers, UnreadablePathsListAsEmpty)
{
	TempDir tmp;
	fs::create_directory(tmp / "empty");
	write_file(tmp / "empty/.hidden", "");
	write_file(tmp / "plain", "x");

	for (const char *name : {"empty", "plain", "missing", "plain/below"}) {
		NameList list = lister_fichiers((tmp / name).string());
		EXPECT_TRUE(list.empty()) << name;
		EXPECT_TRUE(list.empty()) << name;
	}
}

TEST(ListerFichiers, KeepsLongNamesWhole)
{
	TempDir tmp;
	std::string name(200, 'n');
	name[0] = 'L';
	name[199] = 'z';
	fs::create_directory(tmp / name);

	NameList list = lister_fichiers(tmp.path().string());
	ASSERT_EQ(list.size(), 1u);
	EXPECT_EQ(list[0], name);
}

TEST(TrierListe, FoldsCapitalsAndKeepsListingOrderOfEqualNames)
{
	NameList list = {"beta", "Alpha", "alpha", "Gamma"};
	NameList &sorted = trier_liste(list);
	EXPECT_EQ(&sorted, &list);
	EXPECT_EQ(list, (NameList{"Alpha", "alpha", "beta", "Gamma"}));

	list = {"alpha", "beta", "Alpha", "BETA", "ALPHA"};
	EXPECT_EQ(trier_liste(list), (NameList{"alpha", "Alpha", "ALPHA", "beta", "BETA"}));
}

TEST(TrierListe, ComparesUnsignedBytesWithPrefixesFirst)
{
	NameList list = {"Zo\xc3\xa9", "zoz", "Zoe"};
	EXPECT_EQ(trier_liste(list), (NameList{"Zoe", "zoz", "Zo\xc3\xa9"}));

	// '[', '_' and '`' lie between the capitals and the small letters.
	list = {"ab", "a_", "A", "a[", "a`", "a9", "aB", "a\x7f"};
	EXPECT_EQ(trier_liste(list), (NameList{"A", "a9", "a[", "a_", "a`", "ab", "aB", "a\x7f"}));

	NameList empty, one = {"Solo"};
	EXPECT_TRUE(trier_liste(empty).empty());
	EXPECT_EQ(trier_liste(one), NameList{"Solo"});
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
