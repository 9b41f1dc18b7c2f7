// What the profile code shares about reading directories.
#pragma once

#include <dirent.h>

#include <memory>

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
