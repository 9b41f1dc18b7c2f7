// Emptying a directory tree and removing it, safe against a tree that
// changes under the walk.
//
// The walk goes down one directory at a time and comes back up through
// "..", so that two directories are open at most, whatever the depth. Every
// step works on descriptors, never on paths: a directory is opened with
// O_NOFOLLOW, so one swapped for a link since it was listed fails to open
// instead of leading out of the tree; before going in, the walk checks that
// the directory's ".." is the one it came from and that it lies on the
// tree's own file system (what is mounted inside belongs elsewhere); on the
// way back up it checks that ".." is still the directory it came down from,
// else the walk stops rather than go on in a stranger's directory. Names
// are read in full before any is removed. It goes one entry at a time (one
// read, one removal, one step down or up), its state kept between steps, so
// that a caller can do the work in slices.
#include "profiles/tree_walk.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
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

// A mount, told apart from the others mounted from the same file system.
// Where the system cannot say (STATX_MNT_ID is missing), the id is 0 for
// all, and only the device tells.
struct Mount {
	std::uint64_t id;
	dev_t dev;

	bool operator==(const Mount &o) const { return id == o.id && dev == o.dev; }
};

// Emptying a player: profils, the levels from the player down to the
// directory being emptied, which alone of them is open, the first
// failure (0 while everything went) and the first mount left alone.
struct Walk {
	int top;
	std::optional<Mount> top_mount; // looked at once: the walk never leaves it
	std::vector<Level> levels;
	Dir here;
	int error;
	std::string kept;
};

} // namespace

struct TreeRemoval::State : Walk {};

static Identity identity(const struct stat &st)
{
	return {st.st_dev, st.st_ino};
}

static void note(Walk &w, int error)
{
	if (!w.error)
		w.error = error;
}

// The mount `name` of `dir` lies on ("" for dir itself), without following
// a link.
static std::optional<Mount> mount_of(int dir, const char *name)
{
	struct statx sx;
	int flags = AT_SYMLINK_NOFOLLOW | (*name ? 0 : AT_EMPTY_PATH);

	if (statx(dir, name, flags, STATX_MNT_ID, &sx) != 0)
		return std::nullopt;
	std::uint64_t id = sx.stx_mask & STATX_MNT_ID ? sx.stx_mnt_id : 0;
	return Mount{id, makedev(sx.stx_dev_major, sx.stx_dev_minor)};
}

// Whether `name` of `dir` lies on the mount the walk began on.
static bool on_top_mount(const Walk &w, int dir, const char *name)
{
	std::optional<Mount> here = mount_of(dir, name);
	return w.top_mount && here && *w.top_mount == *here;
}

// What is mounted in the player stays, and what holds it with it; the first
// one is named, relative to profils.
static void keep_mount(Walk &w, const std::string &name)
{
	if (w.kept.empty()) {
		for (const Level &level : w.levels)
			w.kept += level.name + "/";
		w.kept += name;
	}
	note(w, EXDEV);
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
	int here = dirfd(w.here.get());
	if (unlinkat(here, name.c_str(), 0) == 0 || errno == ENOENT)
		return;
	if (errno == EISDIR || errno == EPERM)
		level.subdirs.push_back(std::move(name));
	else if (errno == EBUSY && !on_top_mount(w, here, name.c_str()))
		keep_mount(w, name);
	else
		note(w, errno);
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
// where it is now, and dir is on the mount of profils; else why not.
static int enterable(const Walk &w, DIR *dir)
{
	struct stat up;

	if (fstatat(dirfd(dir), "..", &up, 0) != 0)
		return errno;
	if (!(identity(up) == w.levels.back().id))
		return ESTALE;
	return on_top_mount(w, dirfd(dir), "") ? 0 : EXDEV;
}

// A directory the walk does not go into goes when it is empty; an entry
// that is no longer a directory goes as a file.
static void descend(Walk &w, const std::string &name)
{
	int parent = dirfd(w.here.get());
	Dir dir = open_dir_nofollow(parent, name);
	int why = dir ? enterable(w, dir.get()) : errno;

	if (!why) {
		enter(w, std::move(dir), name);
		return;
	}
	dir.reset();
	if (why == ENOTDIR || why == ELOOP)
		remove_at(w, parent, name, 0);
	else if (why == EXDEV)
		keep_mount(w, name);
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

bool same_mount(int top, int dir, const char *name)
{
	std::optional<Mount> a = mount_of(top, ""), b = mount_of(dir, name);
	return a && b && *a == *b;
}

TreeRemoval::TreeRemoval(int parent) : state_(std::make_unique<State>())
{
	state_->top = parent;
	state_->top_mount = mount_of(parent, "");
	state_->here = nullptr;
	state_->error = 0;
}

TreeRemoval::~TreeRemoval() = default;

void TreeRemoval::start(Dir root, const std::string &name)
{
	if (on_top_mount(*state_, dirfd(root.get()), ""))
		enter(*state_, std::move(root), name);
	else
		keep_mount(*state_, name);
}

bool TreeRemoval::step()
{
	return advance(*state_);
}

bool TreeRemoval::done() const
{
	return state_->levels.empty();
}

int TreeRemoval::error() const
{
	return state_->error;
}

const std::string &TreeRemoval::kept() const
{
	return state_->kept;
}
