// Deleting a player, all or nothing.
//
// The player is first renamed, in one step, to a fresh hidden name in
// profils (".suppression-" and six letters): from then on it is no longer
// listed, and a rename that fails leaves everything as it was. Only then is
// the hidden copy emptied, by a walk that goes down one directory at a time
// and comes back up through "..", so that two directories are open at most,
// whatever the depth. Every step works on descriptors, never on paths: a
// directory is opened with O_NOFOLLOW, so one swapped for a link since it
// was listed fails to open instead of leading out of the tree; before going
// in, the walk checks that the directory's ".." is the one it came from and
// that it lies on the player's own file system (what is mounted inside
// belongs elsewhere); on the way back up it checks that ".." is still the
// directory it came down from, else the walk stops rather than go on in a
// stranger's directory. Whatever cannot be removed stays in the hidden
// copy, and the caller is told where.
//
// The walk goes one entry at a time (one read, one removal, one step down
// or up), its state kept between steps, so that a hidden copy left by a
// launcher that was killed meanwhile can be finished later, in slices.
#include "profiles/player_removal.h"

#include "base/fd.h"
#include "profiles/dir.h"
#include "profiles/names.h"
#include "profiles/profile_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

namespace {

struct Identity {
	dev_t dev;
	ino_t ino;

	bool operator==(const Identity &o) const { return dev == o.dev && ino == o.ino; }
};

// A directory being emptied: its name in its parent, the directory it was
// when entered, the entries read from it but not yet removed, whether all
// are read, and its subdirectories still to empty.
struct Level {
	std::string name;
	Identity id;
	std::vector<std::string> entries;
	bool read;
	std::vector<std::string> subdirs;
};

// Emptying a player: profils, the levels from the player down to the
// directory being emptied, which alone of them is open, and the first
// failure (0 while everything went).
struct Walk {
	int top;
	std::vector<Level> levels;
	Dir here;
	int error;
};

} // namespace

// Never listed, as it begins with a full stop.
static const char hideout_prefix[] = ".suppression-";
static const char hideout_letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
static const std::size_t hideout_letter_count = 6;

static Identity identity(const struct stat &st)
{
	return {st.st_dev, st.st_ino};
}

static void note(Walk &w, int error)
{
	if (!w.error)
		w.error = error;
}

static void remove_at(Walk &w, int parent, const std::string &name, int flags)
{
	if (unlinkat(parent, name.c_str(), flags) != 0 && errno != ENOENT)
		note(w, errno);
}

// Names are read in full before anything is removed, since removing
// entries during a readdir walk may make it skip others.
static void read_entry(Level &level, DIR *dir)
{
	const dirent *e = readdir(dir);
	if (!e) {
		level.read = true;
		return;
	}
	std::string_view n = e->d_name;
	if (n != "." && n != "..")
		level.entries.emplace_back(n);
}

// All but the directories go at once; those are kept for the walk.
static void remove_entry(Walk &w, Level &level)
{
	std::string name = std::move(level.entries.back());
	level.entries.pop_back();
	if (unlinkat(dirfd(w.here.get()), name.c_str(), 0) == 0 || errno == ENOENT)
		return;
	if (errno == EISDIR || errno == EPERM)
		level.subdirs.push_back(std::move(name));
	else
		note(w, errno);
}

// Opened with O_NOFOLLOW, a directory swapped for a link since it was
// listed fails to open instead of leading out of the tree.
static Dir open_below(int parent, const std::string &name)
{
	return open_dir_at(parent, name.c_str(), O_NOFOLLOW);
}

static void enter(Walk &w, Dir dir, std::string name)
{
	struct stat st;

	if (fstat(dirfd(dir.get()), &st) != 0) {
		note(w, errno);
		return;
	}
	w.levels.push_back({std::move(name), identity(st), {}, false, {}});
	w.here = std::move(dir);
}

// 0 when the walk may go into `dir`: it can come back out by "..", to
// where it is now, and dir is on the player's own file system (what is
// mounted inside belongs elsewhere); else why not.
static int enterable(const Walk &w, DIR *dir)
{
	struct stat up, st;

	if (fstatat(dirfd(dir), "..", &up, 0) != 0 || fstat(dirfd(dir), &st) != 0)
		return errno;
	if (!(identity(up) == w.levels.back().id))
		return ESTALE;
	return st.st_dev == w.levels.front().id.dev ? 0 : EXDEV;
}

// A directory the walk does not go into goes when it is empty; an entry
// that is no longer a directory goes as a file.
static void descend(Walk &w, const std::string &name)
{
	int parent = dirfd(w.here.get());
	Dir dir = open_below(parent, name);
	int why = dir ? enterable(w, dir.get()) : errno;

	if (!why) {
		enter(w, std::move(dir), name);
		return;
	}
	dir.reset();
	if (why == ENOTDIR || why == ELOOP)
		remove_at(w, parent, name, 0);
	else if (why != ENOENT && unlinkat(parent, name.c_str(), AT_REMOVEDIR) != 0)
		note(w, why);
}

// Back up by "..": the parent must still be the directory the walk came
// from, else this one was moved away meanwhile, and the walk stops rather
// than go on in a stranger's directory.
static bool ascend(Walk &w)
{
	Level done = std::move(w.levels.back());
	struct stat st;

	w.levels.pop_back();
	if (w.levels.empty()) {
		w.here.reset();
		remove_at(w, w.top, done.name, AT_REMOVEDIR);
		return true;
	}
	Dir up = open_dir_at(dirfd(w.here.get()), "..");
	if (!up || fstat(dirfd(up.get()), &st) != 0) {
		note(w, errno);
		return false;
	}
	if (!(identity(st) == w.levels.back().id)) {
		note(w, ESTALE);
		return false;
	}
	w.here = std::move(up);
	remove_at(w, dirfd(w.here.get()), done.name, AT_REMOVEDIR);
	return true;
}

// One step of emptying: an entry read, removed or gone into, or a level
// done. Whether the walk goes on.
static bool advance(Walk &w)
{
	if (w.levels.empty())
		return false;
	Level &level = w.levels.back();
	if (!level.read) {
		read_entry(level, w.here.get());
	} else if (!level.entries.empty()) {
		remove_entry(w, level);
	} else if (!level.subdirs.empty()) {
		std::string next = std::move(level.subdirs.back());
		level.subdirs.pop_back();
		descend(w, next);
	} else if (!ascend(w)) {
		w.levels.clear();
		w.here.reset();
	}
	return !w.levels.empty();
}

// Empties and removes `root`, the entry `name` of profils, walking down and
// back up, so that only two directories are open whatever the depth. The
// first failure, 0 when everything went.
static int remove_tree(int top, Dir root, const std::string &name)
{
	Walk w{top, {}, nullptr, 0};

	enter(w, std::move(root), name);
	while (advance(w))
		;
	return w.error;
}

static RemoveResult result(RemoveOutcome outcome, int error = 0, std::string leftover = {})
{
	return {outcome, error, std::move(leftover)};
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

// Not built from the player's name, which may be as long as a name can be.
static std::string hideout_name()
{
	std::random_device source;
	std::uniform_int_distribution<int> pick(0, sizeof hideout_letters - 2);
	std::string name = hideout_prefix;

	for (std::size_t i = 0; i < hideout_letter_count; i++)
		name += hideout_letters[pick(source)];
	return name;
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
	Dir root = open_below(top, name);
	struct stat up;

	if (!root || fstatat(dirfd(root.get()), "..", &up, 0) != 0)
		return refusal(errno);
	if (int error = hide(top, name, hideout))
		return refusal(error);
	if (int error = remove_tree(top, std::move(root), hideout))
		return result(RemoveOutcome::leftovers, error, player_path(hideout));
	return result(RemoveOutcome::removed);
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

// Exactly the names hide() makes, and only real directories: any other
// hidden entry is someone else's.
static bool is_hideout(int top, std::string_view name)
{
	std::string_view prefix = hideout_prefix;
	struct stat st;

	if (name.size() != prefix.size() + hideout_letter_count ||
	    name.substr(0, prefix.size()) != prefix)
		return false;
	for (char c : name.substr(prefix.size()))
		if (c == '\0' || !std::strchr(hideout_letters, c))
			return false;
	return fstatat(top, std::string(name).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
	       S_ISDIR(st.st_mode);
}

// profils, whether it was searched yet, the hideouts still to finish and
// the one being emptied.
struct CutDeletes::State {
	Fd top{open(profiles_dir, dir_flags)};
	bool searched = false;
	std::vector<std::string> hideouts;
	Walk walk{top.get(), {}, nullptr, 0};
};

static std::vector<std::string> find_hideouts(int top)
{
	std::vector<std::string> found;
	Dir dir = open_dir_at(top, ".");

	while (const dirent *e = dir ? readdir(dir.get()) : nullptr)
		if (is_hideout(top, e->d_name))
			found.emplace_back(e->d_name);
	return found;
}

CutDeletes::CutDeletes() : state_(std::make_unique<State>())
{
}

CutDeletes::~CutDeletes() = default;

// The search is the first step. A hideout swapped for a link since it was
// found fails to open.
bool CutDeletes::step(int budget)
{
	State &s = *state_;

	for (; budget > 0; budget--) {
		if (!s.searched) {
			s.searched = true;
			if (s.top)
				s.hideouts = find_hideouts(s.top.get());
			continue;
		}
		if (advance(s.walk) || s.hideouts.empty())
			continue;
		std::string name = std::move(s.hideouts.back());
		s.hideouts.pop_back();
		if (Dir root = open_below(s.top.get(), name))
			enter(s.walk, std::move(root), name);
	}
	return !s.searched || !s.walk.levels.empty() || !s.hideouts.empty();
}
