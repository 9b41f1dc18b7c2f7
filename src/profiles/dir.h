// What the profile code shares about reading directories.
#pragma once

#include "base/fd.h"

#include <dirent.h>
#include <fcntl.h>

#include <memory>
#include <string>

struct DirCloser {
	void operator()(DIR *dir) const { closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

// A name with a leading full stop is never a player, a group or a record:
// it covers "." and ".." and every hidden entry.
inline bool hidden(const char *name)
{
	return name[0] == '.';
}

inline constexpr int dir_flags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC;

// Takes the descriptor over, closing it also when fdopendir fails.
inline Dir open_dir_fd(Fd fd)
{
	if (!fd)
		return nullptr;
	Dir dir(fdopendir(fd.get()));
	if (dir)
		fd.release();
	return dir;
}

inline Dir open_dir_at(int parent, const char *name, int extra_flags = 0)
{
	return open_dir_fd(Fd(openat(parent, name, dir_flags | extra_flags)));
}

// A directory swapped for a link since it was listed fails to open instead
// of leading elsewhere.
inline Dir open_dir_nofollow(int parent, const std::string &name)
{
	return open_dir_at(parent, name.c_str(), O_NOFOLLOW);
}
