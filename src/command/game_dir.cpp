#include "command/game_dir.h"

#include "base/french_errors.h"
#include "base/link_target.h"
#include "base/make_dir.h"

#include <cerrno>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The shared files a game directory links to, by the names the launcher
// reads. The game is among them for an install that ships one beside the
// data; otherwise the player puts it into the game directory.
const char *const shared_files[] = {
        "gtktrovik.glade",
        "textures/image.tga",
        "gtktrovik.png",
        "trovik.exe",
};

bool is_absolute(const char *path)
{
	return path && path[0] == '/';
}

std::string cannot_prepare(const std::string &path, int error)
{
	return "Impossible de préparer le dossier du jeu « " + path +
	       " » : " + french_reason(error) + ".";
}

// Makes `path` and whatever of it is missing: the ancestors private, as the
// base directory rules ask of the directories they name, the directory
// itself as the umask has it. Returns 0 or the errno value.
int make_directories(const std::string &path)
{
	for (std::string::size_type slash = path.find('/', 1); slash != std::string::npos;
	     slash = path.find('/', slash + 1)) {
		if (mkdir(path.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST)
			return errno;
	}
	return make_dir(path);
}

bool ends_with(std::string_view text, std::string_view end)
{
	return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A link left by an earlier install: absolute, to a file of the same name,
// and leading nowhere since that install moved or went.
bool is_stale_install_link(const std::string &path, const std::string &target,
                           std::string_view name)
{
	struct stat st;
	return is_absolute(target.c_str()) && ends_with(target, "/" + std::string(name)) &&
	       stat(path.c_str(), &st) != 0 && errno == ENOENT;
}

// Points `path` at `target`, replacing what is there in one step, so that a
// launcher started meanwhile never finds the file missing.
int point_link(const std::string &path, const std::string &target)
{
	std::string temporary = path + ".gtktrovik-" + std::to_string(getpid());
	unlink(temporary.c_str());
	if (symlink(target.c_str(), temporary.c_str()) != 0)
		return errno;
	if (rename(temporary.c_str(), path.c_str()) != 0) {
		int error = errno;
		unlink(temporary.c_str());
		return error;
	}
	return 0;
}

// Brings game/name in line with shared/name. Returns 0 or the errno value.
int refresh_link(const GameDirPlan &plan, std::string_view name)
{
	std::string shared = plan.shared + "/" + std::string(name);
	std::string path = plan.game + "/" + std::string(name);
	struct stat st;
	bool offered = lstat(shared.c_str(), &st) == 0;

	// A parent the player made a file of is theirs; the launcher then goes
	// without this file.
	if (lstat(path.c_str(), &st) != 0) {
		if (errno == ENOTDIR)
			return 0;
		if (errno != ENOENT)
			return errno;
		if (!offered)
			return 0;
		std::string::size_type slash = name.rfind('/');
		if (slash != std::string_view::npos &&
		    make_directories(plan.game + "/" + std::string(name.substr(0, slash))) != 0)
			return 0;
		return symlink(shared.c_str(), path.c_str()) == 0 || errno == EEXIST ? 0 : errno;
	}
	if (!S_ISLNK(st.st_mode))
		return 0;
	std::string target = link_target(path).value_or("");
	if (target == shared)
		return offered || unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : errno;
	if (!is_stale_install_link(path, target, name))
		return 0;
	if (!offered)
		return unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : errno;
	return point_link(path, shared);
}

} // namespace

std::string game_dir_of(const PlayerHome &where)
{
	if (is_absolute(where.xdg_data_home))
		return std::string(where.xdg_data_home) + "/trovik";
	std::string home = is_absolute(where.home) ? where.home : where.password_home;
	if (!is_absolute(home.c_str()))
		return {};
	while (home.size() > 1 && home.back() == '/')
		home.pop_back();
	return (home == "/" ? "" : home) + "/.local/share/trovik";
}

std::string prepare_game_dir(const GameDirPlan &plan)
{
	for (const std::string &dir : {plan.game, plan.game + "/profils"}) {
		if (int error = make_directories(dir))
			return cannot_prepare(plan.game, error);
	}
	for (const char *name : shared_files) {
		if (int error = refresh_link(plan, name))
			return cannot_prepare(plan.game, error);
	}
	return {};
}

bool players_own(const GameDirPlan &plan, const std::string &name)
{
	std::string path = plan.game + "/" + name;
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return false;
	return !S_ISLNK(st.st_mode) || link_target(path) != plan.shared + "/" + name;
}
