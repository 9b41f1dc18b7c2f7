// Reading a data file that anyone may have put in the launcher's place: a
// pipe, a device or a file without end must not hold up or swamp the
// process.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The whole of `path` when it is a regular file of at most `limit` bytes;
// nothing otherwise (not there, unreadable, not a regular file, too long).
// Never waits on a writer.
std::optional<std::string> read_regular_file(const char *path, std::size_t limit);

// The first `size` bytes of `path` (all of it when shorter) when it is a
// regular file; nothing otherwise. Never waits on a writer.
std::optional<std::string> read_file_head(const char *path, std::size_t size);
