// Profile trees for the tests of the code that reads and changes them.
#pragma once

#include "profiles/names.h"
#include "profiles/player_removal.h"
#include "profiles/profile_tree.h"

#include "tempdir.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <cstdio>

#include <algorithm>
#include <filesystem>

namespace fixtures {

namespace fs = std::filesystem;

// A scratch directory, the working directory while it lives: the
// launcher finds profils there.
struct WorkDir : TempDir {
	ScopedChdir cd{path()};
};

// pack1 holds a, b, c; pack2 holds d; notes.txt lies in anna herself;
// the hidden .old holds e.
inline void make_anna(const fs::path &root)
{
	fs::path anna = root / "profils/anna";
	fs::create_directories(anna / "pack1");
	fs::create_directories(anna / "pack2");
	fs::create_directories(anna / ".old");
	for (const char *r : {"pack1/a", "pack1/b", "pack1/c", "pack2/d", "notes.txt", ".old/e"})
		write_file(anna / r, "");
}

// Files beside the profiles that removing a player must not reach.
inline void make_bystanders(const fs::path &root)
{
	make_anna(root);
	fs::create_directories(root / "outside/deep");
	write_file(root / "outside/keep.txt", "keep");
	write_file(root / "outside/deep/keep2.txt", "keep2");
	write_file(root / "x", "not a player");
}

inline int exchange_group()
{
	return renameat2(AT_FDCWD, "profils/bob/pack", AT_FDCWD, "stash/pack", RENAME_EXCHANGE);
}

// remove_player(name) made by an ordinary user, with at most `max_files`
// open files when that is not 0. The working directory, a scratch directory
// of root's, must let the user through to reach profils at all.
inline RemoveResult remove_as_user(const std::string &name, rlim_t max_files)
{
	fs::permissions(fs::current_path(), fs::perms::others_exec, fs::perm_options::add);
	give_to_file_user("profils");
	rlimit before;
	getrlimit(RLIMIT_NOFILE, &before);
	rlimit files = {max_files ? max_files : before.rlim_cur, before.rlim_max};
	setrlimit(RLIMIT_NOFILE, &files);
	AsFileUser user;
	RemoveResult r = remove_player(name);
	setrlimit(RLIMIT_NOFILE, &before);
	return r;
}

// Mounts a test makes below `top`, which is first bound on itself so that
// they all go with it, wherever they were moved. Only root may mount.
struct TestMounts {
	fs::path top;
	bool mount(const fs::path &from, const fs::path &at, const char *type = nullptr,
	           unsigned long flags = MS_BIND, const char *data = nullptr)
	{
		return ::mount(from.c_str(), at.c_str(), type, flags, data) == 0;
	}
	bool self = mount(top, top);
	~TestMounts() { umount2(top.c_str(), MNT_DETACH); }
};

inline bool listed(const std::string &name)
{
	NameList players = lister_fichiers(profiles_dir);
	return std::find(players.begin(), players.end(), name) != players.end();
}

} // namespace fixtures
