#include "game/wine_install.h"

#include "base/regular_file.h"
#include "game/elf_target.h"

#include <elf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

// Debian's chooser script is about 1 KiB.
static const std::size_t script_limit = 64 * 1024;

static bool is_regular(const fs::path &path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

static bool is_executable(const fs::path &path)
{
	return is_regular(path) && access(path.c_str(), X_OK) == 0;
}

static std::optional<ElfTarget> elf_of(const fs::path &path)
{
	std::optional<std::string> head = read_file_head(path.c_str(), elf_head_size);
	return head ? elf_target(*head) : std::nullopt;
}

static bool is_x86_32(const std::optional<ElfTarget> &target)
{
	return target && *target == ElfTarget{32, false, EM_386};
}

// Where a loader in `bin` keeps its libraries, in Wine's own layout
// (PREFIX/bin and PREFIX/lib/wine or lib64/wine) and in Debian's (the
// loaders in /usr/lib/wine, the libraries in /usr/lib/x86_64-linux-gnu/wine).
static std::vector<fs::path> library_dirs(const fs::path &bin)
{
	std::vector<fs::path> dirs;
	const fs::path up = bin.parent_path();
	for (const fs::path &lib : {up, up / "lib", up / "lib64", up / "lib32"})
		for (const char *below : {"wine", "x86_64-linux-gnu/wine"})
			dirs.push_back(lib / below);
	return dirs;
}

// A 64-bit loader hands a 32-bit program over to the 32-bit loader beside
// it, or, built for WoW64 mode, runs it itself with the 32-bit Windows
// libraries kept beside its own. The 64-bit Unix side tells that the
// library directory was found, so that a layout not recognised is not
// taken for a missing 32-bit part.
static Wine32 loader_64(const fs::path &loader)
{
	const fs::path bin = loader.parent_path();
	for (const char *name : {"wine", "wine32"})
		if (bin / name != loader && is_executable(bin / name) &&
		    is_x86_32(elf_of(bin / name)))
			return Wine32::runs;
	bool found = false;
	for (const fs::path &dir : library_dirs(bin)) {
		if (!is_regular(dir / "x86_64-unix/ntdll.so"))
			continue;
		if (is_regular(dir / "i386-windows/ntdll.dll"))
			return Wine32::runs;
		found = true;
	}
	return found ? Wine32::missing : Wine32::unknown;
}

static Wine32 loader(const fs::path &path)
{
	std::error_code error;
	const fs::path real = fs::canonical(path, error);
	if (error)
		return Wine32::unknown;
	std::optional<ElfTarget> target = elf_of(real);
	if (is_x86_32(target))
		return Wine32::runs;
	if (target && *target == ElfTarget{64, false, EM_X86_64})
		return loader_64(real);
	return Wine32::unknown;
}

// The absolute paths a script names, whether assigned, quoted or run.
static std::vector<fs::path> absolute_paths(const std::string &text)
{
	static const char separators[] = " \t\r\n\"'`=;:()|&<>";
	std::vector<fs::path> paths;
	std::string::size_type start = text.find_first_not_of(separators);
	while (start != std::string::npos) {
		std::string::size_type end = text.find_first_of(separators, start);
		if (text[start] == '/')
			paths.push_back(text.substr(start, end - start));
		start = text.find_first_not_of(separators, end);
	}
	return paths;
}

// Debian's "wine" is a script that runs its 32-bit loader when that is
// installed (wine32:i386), else its 64-bit one. The part is missing only
// when the script names a 32-bit loader that is not there, and every loader
// that is there is a 64-bit one without the 32-bit side.
static Wine32 chooser_script(const std::string &text)
{
	bool lacks_32 = false, has_64 = false;
	for (const fs::path &path : absolute_paths(text)) {
		const fs::path name = path.filename();
		if (name != "wine" && name != "wine32" && name != "wine64")
			continue;
		if (!is_executable(path)) {
			lacks_32 = lacks_32 || name != "wine64";
			continue;
		}
		Wine32 found = loader(path);
		if (found != Wine32::missing)
			return found;
		has_64 = true;
	}
	return lacks_32 && has_64 ? Wine32::missing : Wine32::unknown;
}

Wine32 wine_32_bit_part(const std::string &wine)
{
	std::optional<std::string> head = read_file_head(wine.c_str(), 2);
	if (!head || head->compare(0, 2, "#!") != 0)
		return loader(wine);
	std::optional<std::string> text = read_regular_file(wine.c_str(), script_limit);
	return text ? chooser_script(*text) : Wine32::unknown;
}
