#include "base/link_target.h"

#include <sys/stat.h>
#include <unistd.h>

// Longer than any path the system takes.
static const std::size_t target_limit = 1024 * 1024;
// Where a link gives no size, as those of /proc.
static const std::size_t first_room = 256;

std::optional<std::string> link_target(const std::string &path)
{
	// A link's size is the length of what it names, but the link may be
	// rewritten meanwhile: a read that fills the buffer may have been cut
	// short, and is made again with more room.
	struct stat st;
	std::size_t room = lstat(path.c_str(), &st) == 0 && st.st_size > 0
	                           ? std::size_t(st.st_size) + 1
	                           : first_room;
	for (; room <= target_limit; room *= 2) {
		std::string target(room, '\0');
		ssize_t n = readlink(path.c_str(), target.data(), target.size());
		if (n < 0)
			return std::nullopt;
		if (std::size_t(n) < room) {
			target.resize(std::size_t(n));
			return target;
		}
	}
	return std::nullopt;
}
