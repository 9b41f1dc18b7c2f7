// Deleting a player, all or nothing.
//
// The player is first renamed, in one step, to a fresh hidden name in
// profils (hideout.h): from then on it is no longer
// listed, and a rename that fails leaves everything as it was. Only then is
// the hidden copy emptied by the walk of tree_walk.cpp, which never leaves
// it nor goes into what is mounted in it. Whatever cannot be removed stays
// in the hidden copy, and the caller is told where; a hidden copy left by a
// launcher killed meanwhile is finished later, in slices (cut_deletes.cpp).
#include "profiles/player_removal.h"

#include "base/fd.h"
#include "profiles/dir.h"
#include "profiles/hideout.h"
#include "profiles/names.h"
#include "profiles/profile_tree.h"
#include "profiles/tree_walk.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

static RemoveResult result(RemoveOutcome outcome, int error = 0, std::string leftover = {})
{
	return {outcome, error, std::move(leftover)};
}

// Empties and removes `root`, the entry `name` of profils. Where what stays
// is a mount, that is what is named, as its owner will look for it.
static RemoveResult remove_tree(int top, Dir root, const std::string &name)
{
	TreeRemoval walk(top);

	walk.start(std::move(root), name);
	while (walk.step())
		;
	if (!walk.error())
		return result(RemoveOutcome::removed);
	const std::string &left = walk.error() == EXDEV ? walk.kept() : name;
	return result(RemoveOutcome::leftovers, walk.error(), player_path(left));
}

// Why profils/NAME could not be touched.
static RemoveResult refusal(int error)
{
	switch (error) {
	case EACCES:
	case EPERM:
	case EROFS:
		return result(RemoveOutcome::not_allowed, error);
	case ENOENT:
	case ENOTDIR:
		return result(RemoveOutcome::missing, error);
	}
	return result(RemoveOutcome::failed, error);
}

// The file system checks that the new name is free in the same step as it
// renames. Where it cannot, a name found free an instant before will do:
// only an empty directory made in between could be replaced.
static int rename_fresh(int dir, const char *from, const char *to)
{
	struct stat st;

	if (renameat2(dir, from, dir, to, RENAME_NOREPLACE) == 0)
		return 0;
	if (errno != EINVAL)
		return errno;
	if (fstatat(dir, to, &st, AT_SYMLINK_NOFOLLOW) == 0)
		return EEXIST;
	if (errno != ENOENT)
		return errno;
	return renameat(dir, from, dir, to) == 0 ? 0 : errno;
}

// Takes profils/NAME out of the listing in one step that either happens
// or changes nothing.
static int hide(int top, const std::string &name, std::string &hideout)
{
	for (int tries = 0; tries < 100; tries++) {
		std::string candidate = hideout_name();
		int error = rename_fresh(top, name.c_str(), candidate.c_str());
		if (!error)
			hideout = std::move(candidate);
		if (error != EEXIST && error != ENOTEMPTY)
			return error;
	}
	return EEXIST;
}

// A link goes alone, and only when it stands for a player directory.
static RemoveResult remove_link(int top, const std::string &name)
{
	struct stat st;

	if (fstatat(top, name.c_str(), &st, 0) != 0 || !S_ISDIR(st.st_mode))
		return result(RemoveOutcome::not_a_directory);
	if (unlinkat(top, name.c_str(), 0) != 0)
		return refusal(errno);
	return result(RemoveOutcome::removed);
}

// The player is opened before it is hidden, so that one the walk could
// neither read nor search is refused with nothing changed; the open
// directory is the one emptied, whatever takes its name meanwhile.
static RemoveResult remove_directory(int top, const std::string &name)
{
	std::string hideout;
	Dir root = open_dir_nofollow(top, name);
	struct stat up;

	if (!root || fstatat(dirfd(root.get()), "..", &up, 0) != 0)
		return refusal(errno);
	if (!same_mount(top, dirfd(root.get()), ""))
		return result(RemoveOutcome::mounted, EXDEV);
	if (int error = hide(top, name, hideout))
		return refusal(error);
	return remove_tree(top, std::move(root), hideout);
}

RemoveResult remove_player(const std::string &name)
{
	struct stat st;

	if (!names_one_entry(name) || hidden(name.c_str()))
		return result(RemoveOutcome::failed, EINVAL);
	Fd top(open(profiles_dir, O_PATH | O_DIRECTORY | O_CLOEXEC));
	if (!top)
		return refusal(errno);
	if (fstatat(top.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
		return refusal(errno);
	if (S_ISLNK(st.st_mode))
		return remove_link(top.get(), name);
	if (!S_ISDIR(st.st_mode))
		return result(RemoveOutcome::not_a_directory);
	return remove_directory(top.get(), name);
}
