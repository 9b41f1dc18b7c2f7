#include "game/game_start.h"

#include "base/fd.h"
#include "base/french_errors.h"
#include "base/link_target.h"
#include "base/platform.h"
#include "game/wine_install.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

static const char wine_32_install[] = "sudo dpkg --add-architecture i386 && sudo apt-get update "
                                      "&& sudo apt-get install wine wine32:i386";
static const char wine_64_install[] = "sudo apt-get install wine";
static const char wine_32_part_install[] = "sudo dpkg --add-architecture i386 && sudo apt-get "
                                           "update && sudo apt-get install wine32:i386";

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

// How much of a "#!" line the kernel reads: its exec buffer, of 256 bytes
// since Linux 5.1, of 128 before.
static std::size_t shebang_limit()
{
	utsname name;
	int major = 0, minor = 0;
	if (uname(&name) == 0)
		std::sscanf(name.release, "%d.%d", &major, &minor);
	return major > 5 || (major == 5 && minor >= 1) ? 256 : 128;
}

// Whether the kernel, reading `limit` bytes of the "#!" line `head`, sees
// neither its end nor the end of the interpreter's name. Past the end of a
// shorter file it sees zeros, which end the name.
static bool interpreter_cut(const std::string &head, std::size_t limit)
{
	if (head.size() < limit - 1 || head.substr(0, limit).find('\n') != std::string::npos)
		return false;
	const std::string seen = head.substr(0, limit - 1);
	std::string::size_type start = seen.find_first_not_of(" \t", 2);
	return start == std::string::npos ||
	       seen.find_first_of(std::string(" \t\0", 3), start) == std::string::npos;
}

GameFile inspect_game(const std::string &path)
{
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return {errno == ENOENT || errno == ENOTDIR ? GameKind::missing
		                                            : GameKind::unreadable,
		        {}};
	if (S_ISLNK(st.st_mode) && stat(path.c_str(), &st) != 0) {
		if (errno != ENOENT)
			return {GameKind::unreadable, {}};
		return {GameKind::dangling_link, link_target(path).value_or("")};
	}
	if (S_ISDIR(st.st_mode))
		return {GameKind::directory, {}};
	// Opening a pipe or a device could block or have effects.
	if (!S_ISREG(st.st_mode))
		return {GameKind::not_program, {}};

	// It may have become a FIFO since.
	Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
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
		return {GameKind::linux_program, {}, elf_target(text)};
	if (text.compare(0, 2, "#!") == 0)
		return {GameKind::script, interpreter_of(text), std::nullopt,
		        interpreter_cut(text, shebang_limit())};
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

// The absolute path of the executable `name` in the colon-separated `path`
// (empty and relative entries are skipped: they would name the game
// directory's own files).
static std::optional<std::string> find_on_path(const std::string &name, const char *path)
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

static std::string wine_without_32_bits(const std::string &program, const std::string &wine)
{
	return quoted(program) + " est un jeu Windows 32 bits, mais le Wine installé (" +
	       quoted(wine) +
	       ") ne lance que les programmes 64 bits : il lui manque sa partie 32 bits. Sur "
	       "Debian et Ubuntu, installez-la (paquet « wine32:i386 ») : " +
	       wine_32_part_install +
	       " ; ailleurs, installez la partie 32 bits du Wine de votre distribution. Puis "
	       "appuyez de nouveau sur « Jouer ».";
}

static std::string not_a_program(const std::string &program)
{
	return "Le fichier " + quoted(program) +
	       " n'est pas un programme que cet ordinateur sait lancer (ni un jeu Linux, ni un jeu "
	       "Windows) : remettez à sa place le fichier du jeu d'origine.";
}

static std::string other_processor(const std::string &program, const ElfTarget &target)
{
	std::optional<ElfTarget> own = own_elf_target();
	return "Le programme " + quoted(program) +
	       " est fait pour un autre processeur : " + processor_name(target) +
	       (own ? ", alors que celui de cet ordinateur est " + processor_name(*own) : "") +
	       ". Remettez à sa place le jeu fait pour ce processeur-ci, ou le fichier du jeu "
	       "d'origine.";
}

static std::string line_too_long(const std::string &program)
{
	return "La première ligne du script " + quoted(program) +
	       " est trop longue : le système n'en lit que les " + std::to_string(shebang_limit()) +
	       " premiers octets, et le chemin de l'interpréteur qu'elle nomme n'y tient pas. "
	       "Raccourcissez-la, puis appuyez de nouveau sur « Jouer ».";
}

static std::string noexec_disk(const std::string &program)
{
	return "Le disque où se trouve " + quoted(program) +
	       " interdit d'y lancer des programmes (il est monté avec l'option noexec) : copiez "
	       "le jeu sur un autre disque (dans votre dossier personnel, par exemple), et mettez "
	       "à la place de " +
	       quoted(program) + " un lien vers cette copie.";
}

static bool on_noexec_disk(const std::string &path)
{
	struct statvfs disk;
	return statvfs(path.c_str(), &disk) == 0 && (disk.f_flag & ST_NOEXEC);
}

// As exec checks it, with the process's effective ids: root needs one
// execute bit of any class.
static bool lacks_exec_bit(const std::string &path)
{
	return faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) != 0 && errno == EACCES;
}

static bool foreign(const std::optional<ElfTarget> &target)
{
	std::optional<ElfTarget> own = own_elf_target();
	return target && !(own && *own == *target);
}

// What is wrong with the interpreter a script names, exec having refused
// the script with `error`: the rest of the sentence that names it, or
// nothing when it looks right. A relative name is found from the working
// directory, as the kernel does.
static std::optional<std::string> interpreter_fault(const std::string &interpreter, int error)
{
	const std::string fix = "corrigez la première ligne du script";
	GameFile file = inspect_game(interpreter);
	if (file.kind == GameKind::missing || file.kind == GameKind::dangling_link)
		return "introuvable : installez-le, ou " + fix + ".";
	if (file.kind == GameKind::directory)
		return "qui est un dossier : " + fix + " pour qu'elle nomme un programme.";
	if (error == EACCES && on_noexec_disk(interpreter))
		return "qui est sur un disque qui interdit d'y lancer des programmes (option "
		       "noexec) : " +
		       fix + ".";
	if (error == EACCES && lacks_exec_bit(interpreter))
		return "qui n'est pas exécutable : rendez-le exécutable (chmod +x " + interpreter +
		       "), ou " + fix + ".";
	if (error == ENOEXEC && file.kind == GameKind::linux_program && foreign(file.target))
		return "qui est fait pour un autre processeur, " + processor_name(*file.target) +
		       " : " + fix + ".";
	if (error == ENOENT && file.kind == GameKind::linux_program)
		return "qui ne trouve pas son chargeur (il est fait pour un autre système) : " +
		       fix + ".";
	if (error == ENOEXEC || file.kind == GameKind::not_program)
		return "qui n'est pas un programme : " + fix + " pour qu'elle nomme un programme.";
	return std::nullopt;
}

// Why exec refused a file that is there and looked like a Linux program:
// the game's own faults first, then its interpreter's, then the disk's,
// which let the execute bit be and still refuse.
static std::string refused(const std::string &program, const GameFile &file, int error)
{
	const std::string path = "./" + program;
	if (file.kind == GameKind::script && file.line_too_long)
		return line_too_long(program);
	if (error == EACCES && on_noexec_disk(path))
		return noexec_disk(program);
	if (error == EACCES && lacks_exec_bit(path))
		return "Le fichier " + quoted(program) +
		       " n'est pas exécutable : rendez-le exécutable " + "(chmod +x " + program +
		       ") puis appuyez de nouveau sur « Jouer ».";
	std::optional<std::string> fault;
	if (file.kind == GameKind::script && !file.detail.empty())
		fault = interpreter_fault(file.detail, error);
	if (fault)
		return "Le script " + quoted(program) + " demande l'interpréteur " +
		       quoted(file.detail) + ", " + *fault;
	if (error == EACCES)
		return noexec_disk(program);
	if (error == ENOEXEC && file.kind == GameKind::linux_program && foreign(file.target))
		return other_processor(program, *file.target);
	if (error == ENOEXEC)
		return not_a_program(program);
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
		if (file.kind == GameKind::windows_32 && wine_32_bit_part(*wine) == Wine32::missing)
			return wine_without_32_bits(program, *wine);
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
