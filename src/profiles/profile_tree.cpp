#include "profiles/profile_tree.h"
#include "profiles/dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace {

class Fd {
public:
	explicit Fd(int fd) : fd_(fd) {}
	~Fd() { if (fd_ >= 0) close(fd_); }
	Fd(const Fd &) = delete;
	Fd &operator=(const Fd &) = delete;

	int get() const { return fd_; }
	int release() { int fd = fd_; fd_ = -1; return fd; }
	explicit operator bool() const { return fd_ >= 0; }

private:
	int fd_;
};

} // namespace

static const int dir_flags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC;

static std::string
player_path(const std::string &name)
{
	return std::string(profiles_dir) + "/" + name;
}

/* Takes the descriptor over, closing it also when fdopendir fails. */
static Dir
open_dir_fd(Fd fd)
{
	if (!fd)
		return nullptr;
	Dir dir(fdopendir(fd.get()));
	if (dir)
		fd.release();
	return dir;
}

static Dir
open_dir_at(int parent, const char *name, int extra_flags = 0)
{
	return open_dir_fd(Fd(openat(parent, name, dir_flags | extra_flags)));
}

static int
count_visible(DIR *dir)
{
	int n = 0;

	while (const dirent *e = readdir(dir))
		if (!hidden(e->d_name))
			n++;
	return n;
}

/* Only entries that may be directories are opened: a group is followed
 * like opendir would follow it, so links are tried too. */
static bool
may_be_directory(unsigned char type)
{
	return type == DT_DIR || type == DT_LNK || type == DT_UNKNOWN;
}

/* A name that is a single entry of profils, not a path leading elsewhere. */
static bool
names_one_entry(const std::string &name)
{
	return !name.empty() && name != "." && name != ".." &&
	       name.find('/') == std::string::npos &&
	       name.find('\0') == std::string::npos;
}

static bool
gone(const std::string &path)
{
	struct stat st;

	return fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) < 0 &&
	       (errno == ENOENT || errno == ENOTDIR);
}

static bool
is_directory(const std::string &path)
{
	struct stat st;

	return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

static bool
make_dir(const std::string &path)
{
	return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

static bool remove_entry(int parent, const char *name);

static std::vector<std::string>
entry_names(DIR *dir)
{
	std::vector<std::string> names;

	while (const dirent *e = readdir(dir)) {
		std::string_view n = e->d_name;
		if (n != "." && n != "..")
			names.emplace_back(n);
	}
	return names;
}

/* Names are read in full before anything is removed, since removing
 * entries during a readdir walk may make it skip others. */
static bool
empty_dir(DIR *dir)
{
	bool emptied = true;

	for (const std::string &name : entry_names(dir))
		emptied = remove_entry(dirfd(dir), name.c_str()) && emptied;
	return emptied;
}

/* Opened with O_NOFOLLOW, a directory swapped for a link since it was
 * looked at fails to open instead of leading out of the tree. */
static bool
remove_dir(int parent, const char *name)
{
	Dir dir = open_dir_at(parent, name, O_NOFOLLOW);

	if (!dir || !empty_dir(dir.get()))
		return false;
	dir.reset();
	return unlinkat(parent, name, AT_REMOVEDIR) == 0;
}

static bool
not_a_directory_now()
{
	return errno == ENOTDIR || errno == ELOOP;
}

/* Inside a player anything goes; a directory goes with its contents, a
 * link goes alone. */
static bool
remove_entry(int parent, const char *name)
{
	if (unlinkat(parent, name, 0) == 0 || errno == ENOENT)
		return true;
	if (errno != EISDIR && errno != EPERM)
		return false;
	if (remove_dir(parent, name))
		return true;
	return not_a_directory_now() && unlinkat(parent, name, 0) == 0;
}

static bool
is_link_at(int parent, const char *name)
{
	struct stat st;

	return fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
}

/* A player is removed only when it is a directory or a link; a plain
 * file listed as a player stays. */
static void
remove_player_at(int top, const char *name)
{
	struct stat st;

	if (fstatat(top, name, &st, AT_SYMLINK_NOFOLLOW) < 0)
		return;
	if (S_ISLNK(st.st_mode)) {
		unlinkat(top, name, 0);
		return;
	}
	if (!S_ISDIR(st.st_mode))
		return;
	if (!remove_dir(top, name) && not_a_directory_now() && is_link_at(top, name))
		unlinkat(top, name, 0);
}

int
count_records(const std::string &player)
{
	if (!names_one_entry(player))
		return 0;
	Dir groups = open_dir_at(AT_FDCWD, player_path(player).c_str());
	if (!groups)
		return 0;
	int n = 0;
	while (const dirent *e = readdir(groups.get())) {
		if (hidden(e->d_name) || !may_be_directory(e->d_type))
			continue;
		if (Dir records = open_dir_at(dirfd(groups.get()), e->d_name))
			n += count_visible(records.get());
	}
	return n;
}

NameProblem
check_player_name(std::string_view name)
{
	if (name.empty())
		return NameProblem::empty;
	if (name == "." || name == "..")
		return NameProblem::dot_or_dotdot;
	/* A NUL would end the path early in every system call. */
	if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos)
		return NameProblem::separator;
	if (name[0] == '.')
		return NameProblem::leading_dot;
	if (name.size() > max_player_name)
		return NameProblem::too_long;
	return NameProblem::none;
}

const char *
name_problem_message(NameProblem problem)
{
	switch (problem) {
	case NameProblem::none:
		return "";
	case NameProblem::empty:
		return "Le nom ne peut pas être vide.";
	case NameProblem::dot_or_dotdot:
		return "Le nom ne peut pas être « . » ni « .. ».";
	case NameProblem::separator:
		return "Le nom ne peut pas contenir / ni \\.";
	case NameProblem::leading_dot:
		return "Le nom ne peut pas commencer par un point.";
	case NameProblem::too_long:
		return "Le nom est trop long : 49 octets au plus.";
	}
	return "";
}

bool
create_player(const std::string &name)
{
	if (check_player_name(name) != NameProblem::none)
		return false;
	std::string path = player_path(name);
	return make_dir(profiles_dir) && make_dir(path) && is_directory(path);
}

/* Any player the selector can list may go, also one made by other means
 * with a name the add window would refuse (a back-slash, 50 bytes or
 * more): what matters is that the name is one entry of profils. */
bool
remove_player(const std::string &name)
{
	if (!names_one_entry(name) || hidden(name.c_str()))
		return false;
	Fd top(open(profiles_dir, dir_flags));
	if (!top)
		return gone(player_path(name));
	remove_player_at(top.get(), name.c_str());
	return gone(player_path(name));
}
