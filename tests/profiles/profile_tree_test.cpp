#include "profiles/profile_texts.h"

#include "hostile_names.h"
#include "profile_fixtures.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <tuple>

namespace fs = std::filesystem;

using namespace fixtures;

TEST(CountRecords, CountsEntriesTwoLevelsDownInOneEntryOfProfils)
{
	WorkDir tmp;
	EXPECT_EQ(count_records("anna"), 0) << "without profils";
	make_anna(tmp.path());
	fs::copy(tmp / "profils/anna", tmp / "profils/more", fs::copy_options::recursive);
	write_file(tmp / "profils/more/pack2/.hidden", "");
	make_records(tmp / "profils/more/pack3/sub", 10);
	fs::create_directories(tmp / "profils/fresh");
	make_records(tmp / "elsewhere", 3);
	write_file(tmp / "file", "");
	fs::path bob = tmp / "profils/bob";
	fs::create_directories(bob);
	fs::create_directory_symlink(tmp / "elsewhere", bob / "linked");
	fs::create_symlink(tmp / "file", bob / "to-file");
	fs::create_symlink(tmp / "missing", bob / "dangling");
	fs::create_directory_symlink(tmp / "elsewhere", tmp / "profils/alias");
	fs::create_directory_symlink(bob, tmp / "profils/bob-too");
	write_file(tmp / "profils/plain", "x");
	make_records(tmp / "profils/g", 2);
	const std::pair<std::string, int> cases[] = {
	        {"anna", 4},
	        {"more", 5},
	        {"fresh", 0},
	        // Group links are followed as opendir() follows them.
	        {"bob", 3},
	        {"alias", 0},
	        {"bob-too", 3},
	        // Players that are not there; only single entries of profils are.
	        {"plain", 0},
	        {"gone", 0},
	        {"", 0},
	        {".", 0},
	        {"anna/..", 0},
	        {std::string("anna\0x", 6), 0},
	};
	for (const auto &[name, count] : cases)
		EXPECT_EQ(count_records(name), count) << name;
}

TEST(CheckPlayerName, RefusesNamesThatAreNotOneSafeEntry)
{
	for (const HostileName &c : hostile_names) {
		EXPECT_EQ(check_player_name(c.name), c.problem) << c.name << ": " << c.why;
		// Each fault has its own message, so the user learns which one it is.
		for (const HostileName &other : hostile_names) {
			if (other.problem == c.problem)
				continue;
			EXPECT_STRNE(name_problem_message(c.problem),
			             name_problem_message(other.problem));
		}
		EXPECT_EQ(*name_problem_message(c.problem) == '\0', c.accepted()) << c.name;
	}
	EXPECT_STREQ(name_problem_message(NameProblem::separator),
	             "Le nom ne peut pas contenir / ni \\.");

	// Beside the players there are, another spelling of one of them is
	// refused; the very same bytes are that player.
	const NameList players = {"caf\xc3\xa9", "bo\u200bb", "\x80\xff", "a b"};
	const std::pair<std::string, NameProblem> beside[] = {
	        {"cafe\u0301", NameProblem::look_alike},
	        {"bob", NameProblem::look_alike},
	        {" caf\xc3\xa9\u034f", NameProblem::look_alike},
	        {"caf\xc3\xa9\ufe0f ", NameProblem::look_alike},
	        {"\u3164caf\U000E0100\xc3\xa9", NameProblem::look_alike},
	        {"\u202fa\u00a0b\u3000", NameProblem::look_alike},
	        {"a\u2002b", NameProblem::look_alike},
	        {"caf\xc3\xa9", NameProblem::none},
	        {"\x80\xff", NameProblem::none},
	        {"cafe", NameProblem::none},
	        {"bo\u200bb", NameProblem::invisible},
	};
	for (const auto &[name, problem] : beside)
		EXPECT_EQ(check_new_player_name(name, players), problem) << name;
	for (const HostileName &other : hostile_names)
		EXPECT_STRNE(name_problem_message(NameProblem::look_alike),
		             name_problem_message(other.problem));
}

// An accepted name makes exactly profils/NAME, empty, and nothing else: once
// that directory is taken away again the tree is as it was. A refused one
// touches nothing.
TEST(CreatePlayer, MakesOnlyTheDirectoryOfAnAcceptedName)
{
	WorkDir tmp;
	make_bystanders(tmp.path());
	fs::create_directories(tmp / "profils/a");
	const std::string before = snapshot_tree(tmp.path());

	for (const HostileName &n : hostile_names) {
		ASSERT_EQ(create_player(n.name), n.accepted() ? 0 : EINVAL) << n.name;
		if (n.accepted()) {
			fs::path made = tmp / "profils" / n.name;
			EXPECT_TRUE(fs::is_directory(fs::symlink_status(made))) << n.name;
			EXPECT_TRUE(fs::is_empty(made)) << n.name;
			fs::remove(made);
		}
		EXPECT_EQ(snapshot_tree(tmp.path()), before) << n.name;
	}

	// Without profils even a refused name leaves it uncreated.
	fs::remove_all(tmp / "profils");
	EXPECT_EQ(create_player(".."), EINVAL);
	EXPECT_FALSE(fs::exists(tmp / "profils"));
}

TEST(CreatePlayer, LeavesExistingEntriesAsTheyAre)
{
	WorkDir tmp;
	make_bystanders(tmp.path());
	write_file(tmp / "profils/plain", "x");
	const std::string before = snapshot_tree(tmp.path());
	EXPECT_EQ(create_player("anna"), 0);
	EXPECT_EQ(create_player("plain"), ENOTDIR);
	EXPECT_EQ(snapshot_tree(tmp.path()), before);

	fs::remove_all(tmp / "profils");
	EXPECT_EQ(create_player("anna"), 0);
	EXPECT_TRUE(fs::is_empty(tmp / "profils/anna"));
	fs::remove_all(tmp / "profils");
	write_file(tmp / "profils", "a file");
	EXPECT_EQ(create_player("anna"), ENOTDIR);
	EXPECT_EQ(read_file(tmp / "profils"), "a file");
}

// An ordinary user makes bob in the game directory (a tmpfs of these flags
// and options, where they are given) while something is in the way, and is
// told why not in French.
TEST(CreatePlayer, SaysWhyNot)
{
	const std::tuple<const char *, unsigned long, int, const char *> cases[] = {
	        {nullptr, 0, EACCES, "accès refusé"},                   // not writable
	        {nullptr, 0, ENOENT, "fichier ou dossier introuvable"}, // gone
	        {"", MS_RDONLY, EROFS, "le disque est en lecture seule"},
	        {"nr_inodes=2", 0, ENOSPC, "le disque est plein"},
	};
	for (const auto &[tmpfs, flags, expected, said] : cases) {
		SCOPED_TRACE(said);
		TempDir tmp;
		TestMounts m{tmp.path()};
		fs::create_directory(tmp / "game");
		fs::permissions(tmp / "game", fs::perms(0555));
		ScopedChdir cd(tmp / "game");
		if (tmpfs && !m.mount("none", tmp / "game", "tmpfs", flags, tmpfs))
			GTEST_SKIP() << "cannot mount here (needs root): " << strerror(errno);
		std::error_code ec;
		if (expected == ENOENT)
			fs::remove(tmp / "game", ec);
		fs::current_path(tmp / "game", ec); // into the tmpfs, where there is one
		AsFileUser user;
		int error = create_player("bob");
		EXPECT_EQ(error, expected);
		EXPECT_EQ(player_not_created(error),
		          std::string("Le dossier de ce joueur n'a pas pu être créé : ") + said +
		                  ".");
	}
}
