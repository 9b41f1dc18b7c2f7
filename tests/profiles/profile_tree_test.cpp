#include "profiles/profile_tree.h"

#include "tempdir.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

void make_records(const fs::path &group, int n)
{
	fs::create_directories(group);
	for (int i = 0; i < n; i++)
		write_file(group / ("r" + std::to_string(i)), "");
}

// pack1 holds a, b, c; pack2 holds d; notes.txt lies in anna herself;
// the hidden .old holds e.
void make_anna(const fs::path &root)
{
	fs::path anna = root / "profils/anna";
	fs::create_directories(anna / "pack1");
	fs::create_directories(anna / "pack2");
	fs::create_directories(anna / ".old");
	for (const char *r : {"pack1/a", "pack1/b", "pack1/c", "pack2/d", "notes.txt", ".old/e"})
		write_file(anna / r, "");
}

// Files beside the profiles that removing a player must not reach.
void make_bystanders(const fs::path &root)
{
	make_anna(root);
	fs::create_directories(root / "outside/deep");
	write_file(root / "outside/keep.txt", "keep");
	write_file(root / "outside/deep/keep2.txt", "keep2");
	write_file(root / "x", "not a player");
}

int exchange_group()
{
	return renameat2(AT_FDCWD, "profils/bob/pack", AT_FDCWD, "stash/pack", RENAME_EXCHANGE);
}

const std::string name49(49, 'n');
const std::string name50(50, 'n');

const char *const refused_names[] = {
	"", ".", "..", "../x", "../outside", "a/b", "a\\b", "..\\x", ".hidden", "profils/..",
};

} // namespace

TEST(CountRecords, CountsEntriesTwoLevelsDown)
{
	TempDir tmp;
	ScopedChdir cd(tmp.path());
	make_anna(tmp.path());
	EXPECT_EQ(count_records("anna"), 4);

	write_file(tmp / "profils/anna/pack2/.hidden", "");
	make_records(tmp / "profils/anna/pack3/sub", 10);
	EXPECT_EQ(count_records("anna"), 5);

	fs::create_directories(tmp / "profils/fresh");
	EXPECT_EQ(count_records("fresh"), 0);
}

TEST(CountRecords, FollowsGroupLinksLikeOpendir)
{
	TempDir tmp;
	ScopedChdir cd(tmp.path());
	make_records(tmp / "elsewhere", 3);
	write_file(tmp / "file", "");
	fs::path bob = tmp / "profils/bob";
	fs::create_directories(bob);
	fs::create_directory_symlink(tmp / "elsewhere", bob / "linked");
	fs::create_symlink(tmp / "file", bob / "to-file");
	fs::create_symlink(tmp / "missing", bob / "dangling");
	EXPECT_EQ(count_records("bob"), 3);

	fs::create_directory_symlink(tmp / "elsewhere", tmp / "profils/alias");
	EXPECT_EQ(count_records("alias"), 0);
	fs::create_directory_symlink(bob, tmp / "profils/bob-too");
	EXPECT_EQ(count_records("bob-too"), 3);
}

TEST(CountRecords, PlayersThatAreNotThereCountZero)
{
	TempDir tmp;
	ScopedChdir cd(tmp.path());
	EXPECT_EQ(count_records("anna"), 0);

	make_anna(tmp.path());
	write_file(tmp / "profils/plain", "x");
	EXPECT_EQ(count_records("plain"), 0);
	EXPECT_EQ(count_records("gone"), 0);
	// Only single entries of profils are players.
	make_records(tmp / "profils/g", 2);
	EXPECT_EQ(count_records(""), 0);
	EXPECT_EQ(count_records("."), 0);
	EXPECT_EQ(count_records("anna/.."), 0);
	EXPECT_EQ(count_records(std::string("anna\0x", 6)), 0);
}

TEST(CheckPlayerName, RefusesNamesThatAreNotOneSafeEntry)
{
	EXPECT_EQ(check_player_name(""), NameProblem::empty);
	EXPECT_EQ(check_player_name("."), NameProblem::dot_or_dotdot);
	EXPECT_EQ(check_player_name(".."), NameProblem::dot_or_dotdot);
	EXPECT_EQ(check_player_name("a/b"), NameProblem::separator);
	EXPECT_EQ(check_player_name("../x"), NameProblem::separator);
	EXPECT_EQ(check_player_name("a\\b"), NameProblem::separator);
	EXPECT_EQ(check_player_name(std::string_view("a\0b", 3)), NameProblem::separator);
	EXPECT_EQ(check_player_name(".hidden"), NameProblem::leading_dot);
	EXPECT_EQ(check_player_name("..."), NameProblem::leading_dot);
	EXPECT_EQ(check_player_name(name50), NameProblem::too_long);

	for (const char *ok : {"anna", "a.b", "a;touch x", "$(id)", "it's \"me\"", "a\nb", " ", "Zo\xc3\xa9"})
		EXPECT_EQ(check_player_name(ok), NameProblem::none) << ok;
	EXPECT_EQ(check_player_name(name49), NameProblem::none);

	EXPECT_STREQ(name_problem_message(NameProblem::none), "");
	EXPECT_STREQ(name_problem_message(NameProblem::separator), "Le nom ne peut pas contenir / ni \\.");
	EXPECT_STRNE(name_problem_message(NameProblem::empty), "");
}

// Each name must make exactly profils/NAME, empty, and nothing else: once
// that directory is taken away again the tree is as it was.
TEST(CreatePlayer, MakesOnlyThatDirectory)
{
	TempDir tmp;
	ScopedChdir cd(tmp.path());
	make_bystanders(tmp.path());
	const std::string before = snapshot_tree(tmp.path());

	for (const std::string &name : {std::string("bob"), std::string("a;touch x"),
	                                 std::string("$(id)"), std::string("it's \"me\" & `id`"),
	                                 std::string("a\nb"), std::string("a b"), name49}) {
		ASSERT_TRUE(create_player(name)) << name;
		fs::path made = tmp / "profils" / name;
		EXPECT_TRUE(fs::is_directory(fs::symlink_status(made))) << name;
		EXPECT_TRUE(fs::is_empty(made)) << name;
		fs::remove(made);
		EXPECT_EQ(snapshot_tree(tmp.path()), before) << name;
	}
}

TEST(CreatePlayer, RefusedNamesTouchNothing)
{
	TempDir tmp;
	ScopedChdir cd(tmp.path());
	make_bystanders(tmp.path());
	fs::create_directories(tmp / "profils/a");
	const std::string before = snapshot_tree(tmp.path());

	for (const char *name : refused_names)
		EXPECT_FALSE(create_player(name)) << name;
	EXPECT_FALSE(create_player(name50));
	EXPECT_FALSE(create_player(std::string("z\0y", 3)));
	EXPECT_EQ(snapshot_tree(tmp.path()), before);

	// Without profils even a refused name leaves it uncreated.
	fs::remove_all(tmp / "profils");
	EXPECT_FALSE(create_player(".."));
	EXPECT_FALSE(fs::exists(tmp / "profils"));
}

TEST(CreatePlayer, LeavesExistingEntriesAsTheyAre)
{
	TempDir tmp;
	ScopedChdir cd(tmp.path());
	make_bystanders(tmp.path());
	write_file(tmp / "profils/plain", "x");
	const std::string before = snapshot_tree(tmp.path());
	EXPECT_TRUE(create_player("anna"));
	EXPECT_FALSE(create_player("plain"));
	EXPECT_EQ(snapshot_tree(tmp.path()), before);

	fs::remove_all(tmp / "profils");
	EXPECT_TRUE(create_player("anna"));
	EXPECT_TRUE(fs::is_empty(tmp / "profils/anna"));
	fs::remove_all(tmp / "profils");
	write_file(tmp / "profils", "a file");
	EXPECT_FALSE(create_player("anna"));
	EXPECT_EQ(read_file(tmp / "profils"), "a file");
}

// The tree without the player is taken first; after removal the whole
// tree must match it, links planted in the player and their targets alike.
TEST(RemovePlayer, RemovesTheDirectoryAndNothingOutside)
{
	for (const std::string &name : {std::string("bob"), std::string("a;touch x"),
	                                 std::string("$(id)"), std::string("it's \"me\""),
	                                 std::string("a\nb"), name49}) {
		TempDir tmp;
		ScopedChdir cd(tmp.path());
		make_bystanders(tmp.path());
		const std::string before = snapshot_tree(tmp.path());

		fs::path p = tmp / "profils" / name;
		make_records(p / "pack1", 3);
		make_records(p / "pack2/nested/deeper", 2);
		write_file(p / ".hidden", "");
		fs::create_directory_symlink(tmp / "outside", p / "pack1/escape");
		fs::create_directory_symlink(tmp / "outside", p / "escape");
		fs::create_directory_symlink("../../..", p / "pack2/up");
		fs::create_symlink(tmp / "outside/keep.txt", p / "keep-link");
		fs::create_symlink(tmp / "nowhere", p / "dangling");

		EXPECT_TRUE(remove_player(name)) << name;
		EXPECT_EQ(snapshot_tree(tmp.path()), before) << name;
	}
}

TEST(RemovePlayer, APlayerThatIsALinkLosesOnlyTheLink)
{
	TempDir tmp;
	ScopedChdir cd(tmp.path());
	make_bystanders(tmp.path());
	const std::string before = snapshot_tree(tmp.path());

	fs::create_directory_symlink(tmp / "outside", tmp / "profils/bob");
	fs::create_directory_symlink("anna", tmp / "profils/alias");
	fs::create_symlink(tmp / "nowhere", tmp / "profils/dangling");
	EXPECT_TRUE(remove_player("bob"));
	EXPECT_TRUE(remove_player("alias"));
	EXPECT_TRUE(remove_player("dangling"));
	EXPECT_EQ(snapshot_tree(tmp.path()), before);
}

TEST(RemovePlayer, RefusesNamesAndNonDirectories)
{
	TempDir tmp;
	ScopedChdir cd(tmp.path());
	make_bystanders(tmp.path());
	write_file(tmp / "profils/plain", "x");
	fs::create_directories(tmp / "profils/a/b");
	fs::create_directories(tmp / "profils/a\\b");
	fs::create_directories(tmp / "profils/.hidden");
	fs::create_directories(tmp / ("profils/" + name50));
	const std::string before = snapshot_tree(tmp.path());

	for (const char *name : refused_names) {
		if (std::string_view(name) == "a\\b")
			continue;
		EXPECT_FALSE(remove_player(name)) << name;
	}
	EXPECT_FALSE(remove_player(std::string("anna\0x", 6)));
	EXPECT_FALSE(remove_player("plain"));
	EXPECT_EQ(snapshot_tree(tmp.path()), before);

	// Made by other means, listed, so deletable: each is one entry here.
	EXPECT_TRUE(remove_player("a\\b"));
	EXPECT_TRUE(remove_player(name50));
	EXPECT_FALSE(fs::exists(tmp / "profils/a\\b"));
	EXPECT_FALSE(fs::exists(tmp / ("profils/" + name50)));
	EXPECT_TRUE(fs::exists(tmp / "profils/a/b"));
	EXPECT_TRUE(fs::exists(tmp / "profils/.hidden"));

	const std::string after = snapshot_tree(tmp.path());
	EXPECT_TRUE(remove_player("nobody"));
	EXPECT_EQ(snapshot_tree(tmp.path()), after);
}

TEST(RemovePlayer, WorksWithoutAProfilesDirectory)
{
	TempDir tmp;
	ScopedChdir cd(tmp.path());
	EXPECT_TRUE(remove_player("anna"));
	EXPECT_TRUE(fs::is_empty(tmp.path()));
	write_file(tmp / "profils", "a file");
	const std::string before = snapshot_tree(tmp.path());
	EXPECT_TRUE(remove_player("anna"));
	EXPECT_EQ(snapshot_tree(tmp.path()), before);
}

// Another thread keeps exchanging a group of the player with a link to a
// folder outside while the removal runs; whatever the timing, that folder
// stays as it was.
TEST(RemovePlayer, NeverFollowsADirectorySwappedForALink)
{
	for (int round = 0; round < 400; round++) {
		TempDir tmp;
		ScopedChdir cd(tmp.path());
		make_records(tmp / "outside", 2);
		make_records(tmp / "profils/bob/pack", 2);
		fs::create_directory(tmp / "stash");
		fs::create_directory_symlink(tmp / "outside", tmp / "stash/pack");
		const std::string outside = snapshot_tree(tmp / "outside");
		for (int swap = 0; swap < 2; swap++)
			ASSERT_EQ(exchange_group(), 0) << "cannot exchange entries here";

		std::atomic<bool> started = false, done = false;
		std::thread swapper([&] {
			started = true;
			while (!done)
				exchange_group();
		});
		while (!started)
			std::this_thread::yield();
		remove_player("bob");
		done = true;
		swapper.join();
		ASSERT_EQ(snapshot_tree(tmp / "outside"), outside) << "round " << round;
	}
}
