// Which processor an ELF program is built for, from its first bytes: what
// tells a game this computer cannot run from a damaged one, and a 32-bit
// Wine from a 64-bit one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

struct ElfTarget {
	int bits;         // 32 or 64, from e_ident's class
	bool big_endian;  // from e_ident's data encoding
	unsigned machine; // e_machine: EM_X86_64, EM_AARCH64...
};

bool operator==(const ElfTarget &a, const ElfTarget &b);

// How many first bytes of a file elf_target() needs.
constexpr std::size_t elf_head_size = 20;

// The target of the file that begins with `head`; nothing for a file that
// is no ELF program, or whose header is damaged.
std::optional<ElfTarget> elf_target(const std::string &head);

// The processor for the player, with the system's name for it in
// parentheses: "ARM 64 bits (aarch64)".
std::string processor_name(const ElfTarget &target);

// What the launcher itself is built for: the processor of this computer.
std::optional<ElfTarget> own_elf_target();
