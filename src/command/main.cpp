// The command on PATH of an installed launcher: prepares the player's game
// directory and starts the launcher in it. The launcher and its shared data
// are found from where this command lies, so that an install moved to
// another prefix, or staged, still finds them.
#include "command/game_dir.h"

#include "base/french_errors.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <gtk/gtk.h>
#include <pwd.h>
#include <unistd.h>

namespace {

// Said where it can be seen: on standard error for a terminal, and in a
// window for a start from the menu, where nobody reads standard error.
int fail(int argc, char **argv, const std::string &text)
{
	std::fprintf(stderr, "gtktrovik : %s\n", text.c_str());
	if (gtk_init_check(&argc, &argv)) {
		// A home's path need not be UTF-8, which the toolkit requires.
		std::unique_ptr<gchar, decltype(&g_free)> shown(g_utf8_make_valid(text.c_str(), -1),
		                                                &g_free);
		GtkWidget *dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
		                                           GTK_BUTTONS_NONE, "%s", shown.get());
		// Not the stock button, whose label follows the locale.
		gtk_dialog_add_button(GTK_DIALOG(dialog), "_Fermer", GTK_RESPONSE_CLOSE);
		gtk_window_set_title(GTK_WINDOW(dialog), "Trovik");
		gtk_dialog_run(GTK_DIALOG(dialog));
		gtk_widget_destroy(dialog);
	}
	return 1;
}

// The directory of this program's own file, links resolved.
std::string own_directory()
{
	for (std::size_t size = 256; size <= 65536; size *= 2) {
		std::string path(size, '\0');
		ssize_t n = readlink("/proc/self/exe", path.data(), size);
		if (n < 0)
			return {};
		if (std::size_t(n) < size) {
			path.resize(std::size_t(n));
			return path.substr(0, path.rfind('/'));
		}
	}
	return {};
}

// `relative` from this program's directory, with links and ".." resolved;
// empty where it is not there.
std::string installed(const std::string &relative)
{
	std::string dir = own_directory();
	if (dir.empty())
		return {};
	std::unique_ptr<char, decltype(&std::free)> path(realpath((dir + "/" + relative).c_str(), nullptr),
	                                                 &std::free);
	return path ? path.get() : std::string();
}

std::string password_home()
{
	const passwd *entry = getpwuid(getuid());
	return entry && entry->pw_dir ? entry->pw_dir : "";
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
		std::fputs("Utilisation : gtktrovik\n"
		           "Prépare le dossier du jeu du joueur, puis ouvre le lanceur de Trovik.\n",
		           help ? stdout : stderr);
		return help && argc == 2 ? 0 : 2;
	}

	std::string launcher = installed(TROVIK_PROGRAM_FROM_COMMAND);
	std::string shared = installed(TROVIK_DATA_FROM_COMMAND);
	if (launcher.empty() || shared.empty())
		return fail(argc, argv,
		            "L'installation de Trovik est incomplète : réinstallez le paquet du jeu.");

	PlayerHome where;
	where.xdg_data_home = std::getenv("XDG_DATA_HOME");
	where.home = std::getenv("HOME");
	where.password_home = password_home();
	GameDirPlan plan{shared, game_dir_of(where)};
	if (plan.game.empty())
		return fail(argc, argv, "Aucun dossier personnel n'est connu pour y ranger les joueurs.");
	std::string refusal = prepare_game_dir(plan);
	if (!refusal.empty())
		return fail(argc, argv, refusal);

	if (chdir(plan.game.c_str()) != 0)
		return fail(argc, argv, "Impossible d'ouvrir le dossier du jeu « " + plan.game +
		                            " » : " + french_reason(errno) + ".");
	char *launcher_argv[] = {const_cast<char *>("gtktrovik"), nullptr};
	execv(launcher.c_str(), launcher_argv);
	return fail(argc, argv, "Impossible de lancer « " + launcher + " » : " +
	                            french_reason(errno) + ".");
}
