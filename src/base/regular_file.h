// Reading a data file that anyone may have put in the launcher's place: a
// pipe, a device or a file without end must not hold up or swamp the
// process.
#pragma once

#include "base/fd.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstddef>
#include <optional>
#include <string>

// A file opened for reading when it is a regular one.
struct RegularFile {
	Fd fd;            // empty when it is not open
	std::size_t size; // as it was at the opening
	int error;        // why it is not open: errno's value, or 0 for no regular file
};

// `path` opened read-only, after links, when it is a regular file. Never
// waits on a writer. Written here whole, so that the banner's picture is
// opened as the launcher's other files without linking what reads them.
inline RegularFile open_regular_file(const char *path)
{
	// Without O_NONBLOCK, opening a FIFO waits for a writer; reading a
	// device may never end.
	Fd fd(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
	struct stat info;
	if (!fd || fstat(fd.get(), &info) != 0)
		return {Fd(-1), 0, errno};
	if (!S_ISREG(info.st_mode))
		return {Fd(-1), 0, 0};
	return {Fd(fd.release()), std::size_t(info.st_size), 0};
}

// The whole of `path` when it is a regular file of at most `limit` bytes;
// nothing otherwise (not there, unreadable, not a regular file, too long).
// Never waits on a writer.
std::optional<std::string> read_regular_file(const char *path, std::size_t limit);

// The first `size` bytes of `path` (all of it when shorter) when it is a
// regular file; nothing otherwise. Never waits on a writer.
std::optional<std::string> read_file_head(const char *path, std::size_t size);
