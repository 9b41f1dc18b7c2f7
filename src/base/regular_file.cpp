#include "base/regular_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

// Where a file gives no size (those of /proc), reading starts with this.
static const std::size_t first_read = 64 * 1024;

// Fills `text` from `fd` up to its size, growing it up to `cap`; the number
// of bytes read, or nothing on a read error.
static std::optional<std::size_t> read_up_to(int fd, std::string &text, std::size_t cap)
{
	std::size_t got = 0;
	for (;;) {
		if (got == text.size()) {
			if (text.size() >= cap)
				return got;
			text.resize(std::min(cap, std::max(text.size() * 2, first_read)));
		}
		ssize_t n = read(fd, text.data() + got, text.size() - got);
		if (n < 0 && errno == EINTR)
			continue;
		if (n < 0)
			return std::nullopt;
		if (n == 0)
			return got;
		got += std::size_t(n);
	}
}

std::optional<std::string> read_regular_file(const char *path, std::size_t limit)
{
	RegularFile file = open_regular_file(path);
	if (!file.fd)
		return std::nullopt;
	// One byte over the limit tells a file that is too long from one that
	// is just as long; the size given is only where to start, since the
	// file may grow while it is read.
	std::size_t cap = limit + 1;
	std::string text(std::min(cap, file.size + 1), '\0');
	std::optional<std::size_t> got = read_up_to(file.fd.get(), text, cap);
	if (!got || *got > limit)
		return std::nullopt;
	text.resize(*got);
	return text;
}

std::optional<std::string> read_file_head(const char *path, std::size_t size)
{
	RegularFile file = open_regular_file(path);
	if (!file.fd)
		return std::nullopt;
	std::string text(std::min(size, file.size), '\0');
	std::optional<std::size_t> got = read_up_to(file.fd.get(), text, size);
	if (!got)
		return std::nullopt;
	text.resize(*got);
	return text;
}
