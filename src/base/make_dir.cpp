#include "base/make_dir.h"

#include <sys/stat.h>

#include <cerrno>

int make_dir(const std::string &path)
{
	struct stat st;

	if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
		return errno;
	if (stat(path.c_str(), &st) != 0)
		return errno;
	return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}
