#include "profiles/cut_deletes.h"

#include "base/fd.h"
#include "profiles/dir.h"
#include "profiles/hideout.h"
#include "profiles/profile_tree.h"
#include "profiles/tree_walk.h"

#include <sys/stat.h>

#include <string>
#include <vector>

// profils, whether it was searched yet, the hideouts still to finish and
// the one being emptied.
struct CutDeletes::State {
	Fd top{open(profiles_dir, dir_flags)};
	bool searched = false;
	std::vector<std::string> hideouts;
	TreeRemoval walk{top.get()};
};

// Only real directories: any other hidden entry is someone else's.
static bool is_hideout(int top, const char *name)
{
	struct stat st;

	return is_hideout_name(name) && fstatat(top, name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
	       S_ISDIR(st.st_mode);
}

static std::vector<std::string> find_hideouts(int top)
{
	std::vector<std::string> found;
	Dir dir = open_dir_at(top, ".");

	while (const dirent *e = dir ? readdir(dir.get()) : nullptr)
		if (is_hideout(top, e->d_name))
			found.emplace_back(e->d_name);
	return found;
}

CutDeletes::CutDeletes() : state_(std::make_unique<State>())
{
}

CutDeletes::~CutDeletes() = default;

// The search is the first step. A hideout swapped for a link since it was
// found fails to open.
bool CutDeletes::step(int budget)
{
	State &s = *state_;

	for (; budget > 0; budget--) {
		if (!s.searched) {
			s.searched = true;
			if (s.top)
				s.hideouts = find_hideouts(s.top.get());
			continue;
		}
		if (s.walk.step() || s.hideouts.empty())
			continue;
		std::string name = std::move(s.hideouts.back());
		s.hideouts.pop_back();
		if (Dir root = open_dir_nofollow(s.top.get(), name))
			s.walk.start(std::move(root), name);
	}
	return !s.searched || !s.walk.done() || !s.hideouts.empty();
}
