#include "profiles/profile_tree.h"

#include "base/make_dir.h"
#include "profiles/dir.h"
#include "profiles/names.h"

static int count_visible(DIR *dir)
{
	int n = 0;

	while (const dirent *e = readdir(dir))
		if (!hidden(e->d_name))
			n++;
	return n;
}

// Only entries that may be directories are opened: a group is followed
// like opendir would follow it, so links are tried too.
static bool may_be_directory(unsigned char type)
{
	return type == DT_DIR || type == DT_LNK || type == DT_UNKNOWN;
}

std::string player_path(const std::string &name)
{
	return std::string(profiles_dir) + "/" + name;
}

int count_records(const std::string &player)
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

int create_player(const std::string &name)
{
	if (check_player_name(name) != NameProblem::none)
		return EINVAL;
	if (int error = make_dir(profiles_dir))
		return error;
	return make_dir(player_path(name));
}
