#include "shell/game_start.h"

#include "base/fd.h"
#include "base/french_errors.h"
#include "base/platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

static const char wine_32_install[] = "sudo dpkg --add-architecture i386 && sudo apt-get update "
                                      "&& sudo apt-get install wine wine32:i386";
static const char wine_64_install[] = "sudo apt-get install wine";

static std::uint32_t little_endian(const unsigned char *p, int bytes)
{
	std::uint32_t value = 0;
	for (int i = bytes - 1; i >= 0; i--)
		value = value << 8 | p[i];
	return value;
}

// The machine field of a PE file's header, 0 when there is none.
static std::uint32_t pe_machine(int fd, const unsigned char *head, ssize_t size)
{
	if (size < 0x40)
		return 0;
	unsigned char pe[6];
	off_t offset = little_endian(head + 0x3C, 4);
	if (pread(fd, pe, sizeof pe, offset) != ssize_t(sizeof pe) ||
	    std::string(reinterpret_cast<char *>(pe), 4) != std::string("PE\0\0", 4))
		return 0;
	return little_endian(pe + 4, 2);
}

// The interpreter named after "#!": its first word.
static std::string interpreter_of(const std::string &head)
{
	std::string::size_type start = head.find_first_not_of(" \t", 2);
	if (start == std::string::npos)
		return {};
	return head.substr(start, head.find_first_of(" \t\r\n", start) - start);
}

GameFile inspect_game(const std::string &path)
{
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return {errno == ENOENT || errno == ENOTDIR ? GameKind::missing
		                                            : GameKind::unreadable,
		        {}};
	// A link's size is the length of what it names.
	std::string target(S_ISLNK(st.st_mode) ? std::size_t(st.st_size) + 1 : 0, '\0');
	if (S_ISLNK(st.st_mode) && stat(path.c_str(), &st) != 0) {
		if (errno != ENOENT)
			return {GameKind::unreadable, {}};
		ssize_t n = readlink(path.c_str(), target.data(), target.size());
		target.resize(n > 0 ? std::size_t(n) : 0);
		return {GameKind::dangling_link, target};
	}
	if (S_ISDIR(st.st_mode))
		return {GameKind::directory, {}};
	// Opening a pipe or a device could block or have effects.
	if (!S_ISREG(st.st_mode))
		return {GameKind::not_program, {}};

	Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
	if (!fd)
		return {GameKind::unreadable, {}};
	unsigned char head[256];
	ssize_t size = pread(fd.get(), head, sizeof head, 0);
	if (size < 0)
		return {GameKind::unreadable, {}};
	std::string text(reinterpret_cast<char *>(head), size);
	if (text.compare(0, 4,
	                 "\x7f"
	                 "ELF") == 0)
		return {GameKind::linux_program, {}};
	if (text.compare(0, 2, "#!") == 0)
		return {GameKind::script, interpreter_of(text)};
	if (text.compare(0, 2, "MZ") != 0)
		return {GameKind::not_program, {}};
	switch (pe_machine(fd.get(), head, size)) {
	case 0x14C:
		return {GameKind::windows_32, {}};
	case 0x8664:
		return {GameKind::windows_64, {}};
	}
	return {GameKind::windows, {}};
}

std::optional<std::string> find_on_path(const std::string &name, const char *path)
{
	std::string dirs = path ? path : "";
	std::string::size_type start = 0;
	while (start <= dirs.size()) {
		std::string::size_type end = dirs.find(':', start);
		if (end == std::string::npos)
			end = dirs.size();
		std::string dir = dirs.substr(start, end - start);
		start = end + 1;
		if (dir.empty() || dir[0] != '/')
			continue;
		std::string candidate = dir + "/" + name;
		struct stat st;
		if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
		    access(candidate.c_str(), X_OK) == 0)
			return candidate;
	}
	return std::nullopt;
}

static std::string quoted(const std::string &name)
{
	return "« " + name + " »";
}

static std::string without_wine(const std::string &program, GameKind kind)
{
	std::string what = kind == GameKind::windows_32   ? "un jeu Windows 32 bits"
	                   : kind == GameKind::windows_64 ? "un jeu Windows 64 bits"
	                                                  : "un jeu Windows";
	std::string install =
	        kind == GameKind::windows_32 ? wine_32_install
	        : kind == GameKind::windows_64
	                ? wine_64_install
	                : std::string(wine_64_install) +
	                          " (pour un jeu 32 bits, en plus : " + wine_32_install + ")";
	return quoted(program) + " est " + what +
	       " : il se lance avec Wine, qui n'est pas installé (la commande « wine » est "
	       "introuvable). Installez Wine (" +
	       (kind == GameKind::windows_32 ? "paquets Debian « wine » et « wine32:i386 »"
	                                     : "paquet Debian « wine »") +
	       ") : " + install + ", puis appuyez de nouveau sur « Jouer ».";
}

static std::string not_a_program(const std::string &program)
{
	return "Le fichier " + quoted(program) +
	       " n'est pas un programme que cet ordinateur sait lancer (ni un jeu Linux, ni un jeu "
	       "Windows) : remettez à sa place le fichier du jeu d'origine.";
}

// Why exec refused a file that is there and looked like a Linux program.
static std::string refused(const std::string &program, const GameFile &file, int error)
{
	if (error == EACCES)
		return "Le fichier " + quoted(program) +
		       " n'est pas exécutable : rendez-le exécutable " + "(chmod +x " + program +
		       ") puis appuyez de nouveau sur « Jouer ».";
	if (error == ENOEXEC)
		return not_a_program(program);
	if (error == ENOENT && file.kind == GameKind::script)
		return "Le script " + quoted(program) + " demande l'interpréteur " +
		       quoted(file.detail) +
		       ", introuvable : installez-le, ou corrigez la première ligne du script.";
	if (error == ENOENT && file.kind == GameKind::linux_program)
		return "Le programme " + quoted(program) +
		       " ne trouve pas son chargeur : il est fait pour un autre système (pour un "
		       "jeu "
		       "32 bits, installez libc6:i386).";
	if (error == ENOENT)
		return "Le fichier " + quoted(program) +
		       " a disparu : copiez le jeu dans le dossier du "
		       "lanceur.";
	return "Le système refuse de lancer " + quoted(program) + " : " + french_reason(error) +
	       ".";
}

std::string start_game(const std::string &program, const std::vector<std::string> &args)
{
	// From the working directory, never through PATH, with its own name as
	// argv[0], as it would be on its home platform.
	std::string path = "./" + program;
	GameFile file = inspect_game(path);
	switch (file.kind) {
	case GameKind::missing:
		return "Le fichier " + quoted(program) +
		       " est introuvable : copiez le jeu dans le dossier du lanceur.";
	case GameKind::dangling_link:
		return quoted(program) + " est un lien vers " + quoted(file.detail) +
		       ", qui n'existe pas : refaites le lien, ou copiez le jeu à sa place.";
	case GameKind::directory:
		return quoted(program) +
		       " est un dossier, pas le jeu : mettez à sa place le fichier " + "du jeu.";
	case GameKind::not_program:
		return not_a_program(program);
	case GameKind::windows_32:
	case GameKind::windows_64:
	case GameKind::windows: {
		std::optional<std::string> wine = find_on_path("wine", std::getenv("PATH"));
		if (!wine)
			return without_wine(program, file.kind);
		std::vector<std::string> argv = {"wine", path};
		argv.insert(argv.end(), args.begin(), args.end());
		int error = start_program(*wine, argv);
		if (error == 0)
			return {};
		return "Wine (" + quoted(*wine) +
		       ") n'a pas pu être lancé : " + french_reason(error) + ".";
	}
	case GameKind::linux_program:
	case GameKind::script:
	case GameKind::unreadable:
		break;
	}
	std::vector<std::string> argv = {program};
	argv.insert(argv.end(), args.begin(), args.end());
	int error = start_program(path, argv);
	return error == 0 ? std::string() : refused(program, file, error);
}
