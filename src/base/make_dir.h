// A directory made, or the one already there taken.
#pragma once

#include <string>

// 0 when `path` is a directory afterwards, else why not (an errno value):
// one there already does; any other file there is in the way (ENOTDIR).
// A new one has the umask's permissions.
int make_dir(const std::string &path);
