// The command on PATH of an installed launcher: prepares the player's game
// directory and starts the launcher in it. The launcher and its shared data
// are found from where this command lies, so that an install moved to
// another prefix, or staged, still finds them.
#include "command/game_dir.h"
#include "command/launcher_failure.h"

#include "base/fd.h"
#include "base/displayable.h"
#include "base/french_errors.h"
#include "base/link_target.h"
#include "base/message_dialog.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <fcntl.h>
#include <gtk/gtk.h>
#include <poll.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Enough of the launcher's output to hold the line it ends with.
const std::size_t output_kept = 4096;

// Said where it can be seen: on standard error for a terminal, and in a
// window for a start from the menu, where nobody reads standard error.
int fail(int argc, char **argv, const std::string &text)
{
	std::fprintf(stderr, "gtktrovik : %s\n", text.c_str());
	if (gtk_init_check(&argc, &argv)) {
		// A home's path need not be UTF-8, which the toolkit requires.
		say_in_message_dialog(displayable(text).c_str());
	}
	return 1;
}

// The directory of this program's own file, links resolved.
std::string own_directory()
{
	std::string path = link_target("/proc/self/exe").value_or("");
	return path.substr(0, path.rfind('/'));
}

// `relative` from this program's directory, with links and ".." resolved;
// empty where it is not there.
std::string installed(const std::string &relative)
{
	std::string dir = own_directory();
	if (dir.empty())
		return {};
	std::unique_ptr<char, decltype(&std::free)> path(
	        realpath((dir + "/" + relative).c_str(), nullptr), &std::free);
	return path ? path.get() : std::string();
}

std::string password_home()
{
	const passwd *entry = getpwuid(getuid());
	return entry && entry->pw_dir ? entry->pw_dir : "";
}

// Copies what `from` holds to standard output, keeping the first bytes in
// `kept`; false at its end. Where standard output is gone, what the
// launcher writes is lost, as it was when this command became it.
bool pass_on(int from, std::string &kept)
{
	char buffer[4096];
	ssize_t n = read(from, buffer, sizeof buffer);
	if (n <= 0)
		return n < 0 && errno == EINTR;
	kept.append(buffer,
	            std::min(std::size_t(n), output_kept - std::min(output_kept, kept.size())));
	for (ssize_t done = 0, written; done < n; done += std::max(written, ssize_t(0))) {
		written = write(STDOUT_FILENO, buffer + done, std::size_t(n - done));
		if (written < 0 && errno != EINTR)
			break;
	}
	return true;
}

// The game the launcher started holds its standard output on: a process of
// its own, out of the terminal's session, passes it on until the game is
// done, so that this command still ends with the launcher.
void pass_on_detached(int from)
{
	if (fork() != 0)
		return;
	setsid();
	std::string kept;
	while (pass_on(from, kept))
		;
	_exit(0);
}

// Passes the launcher's output on until the launcher is gone (`ended`
// readable), then what it left in the pipe.
void follow(int from, int ended, std::string &kept)
{
	pollfd watched[] = {{from, POLLIN, 0}, {ended, POLLIN, 0}};
	for (;;) {
		if (poll(watched, ended >= 0 ? 2 : 1, -1) < 0) {
			if (errno == EINTR)
				continue;
			return;
		}
		if (watched[1].revents)
			break;
		if (watched[0].revents && !pass_on(from, kept))
			return;
	}
	pollfd pipe = {from, POLLIN, 0};
	while (poll(&pipe, 1, 0) > 0 && (pipe.revents & POLLIN))
		if (!pass_on(from, kept))
			return;
	if (!(pipe.revents & POLLHUP))
		pass_on_detached(from);
}

// Runs the launcher with its standard output passed on through a pipe, so
// that its last line can be read; its status (128 + the signal that ended
// it), or -1 with errno when it cannot be started.
int run_launcher(const std::string &launcher, std::string &kept)
{
	int ends[2];
	if (pipe2(ends, O_CLOEXEC) != 0)
		return -1;
	Fd from(ends[0]), to(ends[1]);
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, to.get(), STDOUT_FILENO);
	char *launcher_argv[] = {const_cast<char *>("gtktrovik"), nullptr};
	pid_t pid;
	int error = posix_spawn(&pid, launcher.c_str(), &actions, nullptr, launcher_argv, environ);
	posix_spawn_file_actions_destroy(&actions);
	close(to.release());
	if (error) {
		errno = error;
		return -1;
	}
	// glibc's declaration of pidfd_open lacks C linkage.
	Fd ended(int(syscall(SYS_pidfd_open, pid, 0)));
	follow(from.get(), ended.get(), kept);
	int status;
	while (waitpid(pid, &status, 0) < 0)
		if (errno != EINTR)
			return -1;
	return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

int main(int argc, char *argv[])
{
	if (argc > 1) {
		bool help = std::strcmp(argv[1], "--help") == 0;
		if (std::strcmp(argv[1], "--version") == 0 && argc == 2) {
			std::puts("gtktrovik " TROVIK_VERSION);
			return 0;
		}
		std::fputs(
		        "Utilisation : gtktrovik\n"
		        "Prépare le dossier du jeu du joueur, puis ouvre le lanceur de Trovik.\n",
		        help ? stdout : stderr);
		return help && argc == 2 ? 0 : 2;
	}

	std::string launcher = installed(TROVIK_PROGRAM_FROM_COMMAND);
	std::string shared = installed(TROVIK_DATA_FROM_COMMAND);
	if (launcher.empty() || shared.empty())
		return fail(
		        argc, argv,
		        "L'installation de Trovik est incomplète : réinstallez le paquet du jeu.");

	PlayerHome where;
	where.xdg_data_home = std::getenv("XDG_DATA_HOME");
	where.home = std::getenv("HOME");
	where.password_home = password_home();
	GameDirPlan plan{shared, game_dir_of(where)};
	if (plan.game.empty())
		return fail(argc, argv,
		            "Aucun dossier personnel n'est connu pour y ranger les joueurs.");
	std::string refusal = prepare_game_dir(plan);
	if (!refusal.empty())
		return fail(argc, argv, refusal);

	if (chdir(plan.game.c_str()) != 0)
		return fail(argc, argv,
		            "Impossible d'ouvrir le dossier du jeu « " + plan.game +
		                    " » : " + french_reason(errno) + ".");
	std::string output;
	int status = run_launcher(launcher, output);
	if (status < 0)
		return fail(argc, argv,
		            "Impossible de lancer « " + launcher + " » : " + french_reason(errno) +
		                    ".");
	std::string failure = launcher_failure(status, output, plan);
	if (!failure.empty())
		fail(argc, argv, failure);
	return status;
}
