// How the game file is started, decided from what it is on disk: a Linux
// program is run as it is, a Windows program through Wine, and anything
// else is refused with a French reason. No shell is ever involved.
#pragma once

#include "game/elf_target.h"

#include <optional>
#include <string>
#include <vector>

enum class GameKind {
	missing,       // no entry of that name
	dangling_link, // a symbolic link to nothing
	directory,
	linux_program, // ELF
	script,        // "#!"
	windows_32,    // PE, machine 0x14C
	windows_64,    // PE, machine 0x8664
	windows,       // "MZ" and another or no PE machine
	not_program,   // anything else: text, empty, a device, a pipe
	unreadable,    // cannot be opened: only exec can tell
};

struct GameFile {
	GameKind kind;
	std::string detail; // a script's interpreter, a dangling link's target
	std::optional<ElfTarget> target = std::nullopt; // what a Linux program is built for
	bool line_too_long = false; // a script's "#!" line, longer than the kernel reads
};

GameFile inspect_game(const std::string &path);

// Starts `program` of the working directory with `args` (argv[1] on), in a
// session of its own; a Windows program through "wine" found on PATH.
// Returns an empty string on success, else why not, in French, with what
// the player can do about it.
std::string start_game(const std::string &program, const std::vector<std::string> &args);
