#include "profiles/cut_deletes.h"
#include "profiles/profile_texts.h"

#include "hostile_names.h"
#include "profile_fixtures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <functional>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;

using namespace fixtures;

// The tree without the player is taken first; after removal the whole
// tree must match it, links planted in the player and their targets alike.
TEST(RemovePlayer, RemovesTheDirectoryAndNothingOutside)
{
	for (const std::string &name : hostile_names_where(&HostileName::listed)) {
		WorkDir tmp;
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

		EXPECT_EQ(remove_player(name).outcome, RemoveOutcome::removed) << name;
		EXPECT_EQ(snapshot_tree(tmp.path()), before) << name;
	}
}

TEST(RemovePlayer, APlayerThatIsALinkLosesOnlyTheLink)
{
	WorkDir tmp;
	make_bystanders(tmp.path());
	const std::string before = snapshot_tree(tmp.path());

	fs::create_directory_symlink(tmp / "outside", tmp / "profils/bob");
	fs::create_directory_symlink("anna", tmp / "profils/alias");
	EXPECT_EQ(remove_player("bob").outcome, RemoveOutcome::removed);
	EXPECT_EQ(remove_player("alias").outcome, RemoveOutcome::removed);
	EXPECT_EQ(snapshot_tree(tmp.path()), before);
}

TEST(RemovePlayer, RefusesNamesAndNonDirectories)
{
	WorkDir tmp;
	make_bystanders(tmp.path());
	write_file(tmp / "profils/plain", "x");
	fs::create_directories(tmp / "profils/a/b");
	fs::create_directories(tmp / "profils/a\\b");
	fs::create_directories(tmp / "profils/.hidden");
	fs::create_directories(tmp / ("profils/" + hostile::name50));
	const std::string before = snapshot_tree(tmp.path());

	for (const std::string &name : hostile_names_where(&HostileName::refused)) {
		if (name == "a\\b" || name == hostile::name50)
			continue;
		RemoveOutcome outcome = remove_player(name).outcome;
		EXPECT_NE(outcome, RemoveOutcome::removed) << name;
		EXPECT_NE(outcome, RemoveOutcome::leftovers) << name;
	}
	EXPECT_EQ(remove_player(std::string("anna\0x", 6)).outcome, RemoveOutcome::failed);
	EXPECT_EQ(remove_player("plain").outcome, RemoveOutcome::not_a_directory);
	EXPECT_EQ(snapshot_tree(tmp.path()), before);

	// Made by other means, listed, so deletable: each is one entry here.
	EXPECT_EQ(remove_player("a\\b").outcome, RemoveOutcome::removed);
	EXPECT_EQ(remove_player(hostile::name50).outcome, RemoveOutcome::removed);
	EXPECT_FALSE(fs::exists(tmp / "profils/a\\b"));
	EXPECT_FALSE(fs::exists(tmp / ("profils/" + hostile::name50)));
	EXPECT_TRUE(fs::exists(tmp / "profils/a/b"));
	EXPECT_TRUE(fs::exists(tmp / "profils/.hidden"));

	const std::string after = snapshot_tree(tmp.path());
	EXPECT_EQ(remove_player("nobody").outcome, RemoveOutcome::missing);
	EXPECT_EQ(snapshot_tree(tmp.path()), after);
}

TEST(RemovePlayer, WorksWithoutAProfilesDirectory)
{
	WorkDir tmp;
	EXPECT_EQ(remove_player("anna").outcome, RemoveOutcome::missing);
	EXPECT_TRUE(fs::is_empty(tmp.path()));
	write_file(tmp / "profils", "a file");
	const std::string before = snapshot_tree(tmp.path());
	EXPECT_EQ(remove_player("anna").outcome, RemoveOutcome::missing);
	EXPECT_EQ(snapshot_tree(tmp.path()), before);
}

namespace {

using Tree = std::function<void(const fs::path &)>;
const Tree nothing = [](const fs::path &) {};

void make_bob(const fs::path &root)
{
	make_records(root / "profils/bob/pack1", 3);
	make_records(root / "profils/bob/pack2/nested", 2);
}

void make_locked_group(const fs::path &root)
{
	make_records(root / "profils/bob/locked", 2);
}

void make_deep_bob(const fs::path &root)
{
	fs::path p = root / "profils/bob";
	for (int i = 0; i < 64; i++) {
		p /= "d";
		fs::create_directories(p);
		write_file(p / "r", "");
	}
}

// bob and what `more` makes, then `dir` given only `perms`.
Tree locked(const char *dir, fs::perms perms, Tree more = nothing)
{
	return [=](const fs::path &root) {
		make_bob(root);
		more(root);
		fs::permissions(root / dir, perms);
	};
}

} // namespace

// An ordinary user deletes bob while something is in the way. A player that
// goes, in whole or in part, leaves the listing at once, and what is left of
// it is what could not be removed; any other outcome changes nothing at all.
TEST(RemovePlayer, AllOrNothingUnderFaults)
{
	using O = RemoveOutcome;
	using P = const fs::path &;
	const struct {
		const char *fault;
		Tree make, kept;
		rlim_t max_files;
		O outcome;
		int error;
		const char *said;
	} cases[] = {
	        {"nothing in the way", make_bob, nothing, 0, O::removed, 0, ""},
	        {"profils not writable", locked("profils", fs::perms(0555)), nothing, 0,
	         O::not_allowed, EACCES, "accès refusé"},
	        {"player unreadable", locked("profils/bob", fs::perms::none), nothing, 0,
	         O::not_allowed, EACCES, "accès refusé"},
	        {"one group unreadable",
	         locked("profils/bob/locked", fs::perms::none, make_locked_group),
	         make_locked_group, 0, O::leftovers, EACCES, "certains fichiers n'ont pas pu"},
	        {"deeper than the open-file limit", make_deep_bob, nothing, 16, O::removed, 0, ""},
	        {"player gone", nothing, nothing, 0, O::missing, ENOENT, "n'existe plus"},
	        {"plain file", [](P r) { write_file(r / "profils/bob", "x"); }, nothing, 0,
	         O::not_a_directory, 0, "pas un dossier de joueur"},
	        {"FIFO", [](P r) { mkfifo((r / "profils/bob").c_str(), 0644); }, nothing, 0,
	         O::not_a_directory, 0, "pas un dossier de joueur"},
	        {"dangling link", [](P r) { fs::create_symlink(r / "nowhere", r / "profils/bob"); },
	         nothing, 0, O::not_a_directory, 0, "pas un dossier de joueur"},
	        {"link to a file",
	         [](P r) { fs::create_symlink(r / "outside/keep.txt", r / "profils/bob"); },
	         nothing, 0, O::not_a_directory, 0, "pas un dossier de joueur"},
	};

	for (const auto &c : cases) {
		SCOPED_TRACE(c.fault);
		WorkDir tmp;
		TempDir expected;
		make_bystanders(tmp.path());
		c.make(tmp.path());
		const std::string before = snapshot_tree(tmp.path());
		make_bystanders(expected.path());
		c.kept(expected.path());

		RemoveResult r = remove_as_user("bob", c.max_files);
		EXPECT_EQ(r.outcome, c.outcome);
		EXPECT_EQ(r.error, c.error);
		const std::string said = remove_message(r);
		EXPECT_NE(said.find(c.said), std::string::npos) << said;
		EXPECT_EQ(said.empty(), c.outcome == O::removed) << said;

		if (c.outcome != O::removed && c.outcome != O::leftovers) {
			EXPECT_EQ(snapshot_tree(tmp.path()), before);
			continue;
		}
		EXPECT_FALSE(listed("bob"));
		if (c.outcome == O::leftovers) {
			const fs::path left = r.leftover;
			EXPECT_EQ(left.parent_path(), fs::path(profiles_dir));
			EXPECT_EQ(left.filename().string().rfind('.', 0), 0u) << left;
			EXPECT_NE(said.find(r.leftover), std::string::npos) << said;
			std::error_code ec;
			fs::rename(tmp / left.string(), tmp / "profils/bob", ec);
			EXPECT_FALSE(ec) << left << ": " << ec.message();
		}
		EXPECT_EQ(snapshot_tree(tmp.path()), snapshot_tree(expected.path()));
	}
}

// Another thread keeps exchanging a group of the player with a link to a
// folder outside while the removal runs; whatever the timing, that folder
// stays as it was.
TEST(RemovePlayer, NeverFollowsADirectorySwappedForALink)
{
	for (int round = 0; round < 400; round++) {
		WorkDir tmp;
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

// As root, something bound at M in bob, or in a delete cut short: bob goes,
// and the next start finishes what was cut short; all that the mount shows
// stays, and M alone is left.
TEST(RemovePlayer, LeavesWhatIsMountedInsideAlone)
{
	using O = RemoveOutcome;
	const std::tuple<const char *, const char *, const char *, O> cases[] = {
	        {"outside", "profils/bob", "m", O::leftovers},
	        {"profils", "profils/bob", "m", O::leftovers},
	        {"outside/keep.txt", "profils/bob", "m", O::leftovers},
	        {"outside", "profils/bob", "", O::mounted},
	        {"outside", "profils/.suppression-abcdef", "m", O::leftovers},
	};
	for (const auto &[from, dir, in, outcome] : cases) {
		SCOPED_TRACE(dir + std::string("/") + in + " shows " + from);
		TempDir tmp;
		TestMounts mounts{tmp.path()};
		ScopedChdir cd(tmp.path());
		make_bystanders(tmp.path());
		fs::path left = tmp / dir, at = left / in;
		make_records(left, 2);
		fs::is_directory(tmp / from) ? (void)fs::create_directories(at)
		                             : write_file(at, "");
		if (!mounts.mount(tmp / from, at))
			GTEST_SKIP() << "cannot mount here (needs root): " << strerror(errno);
		auto shown = [&] {
			return snapshot_tree(tmp / "outside") + snapshot_tree(tmp / "profils/anna");
		};
		const std::string before = shown();
		if (left.filename() == "bob") {
			RemoveResult r = remove_player("bob");
			EXPECT_EQ(r.outcome, outcome);
			EXPECT_NE(remove_message(r).find("dossier monté"), std::string::npos);
			left = (tmp / r.leftover).parent_path();
		}
		for (CutDeletes cut; cut.step(100);)
			;
		EXPECT_EQ(shown(), before);
		if (outcome == O::leftovers) {
			EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(left), {}),
			          std::vector<fs::path>{left / "m"});
		}
	}
}
