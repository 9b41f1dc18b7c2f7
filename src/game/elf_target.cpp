#include "game/elf_target.h"

#include "base/regular_file.h"

#include <elf.h>

#include <utility>

// The processors a player may meet, each with the byte order and word size
// its systems use; another combination is named by its numbers.
static const struct {
	unsigned machine;
	int bits;
	bool big_endian;
	const char *name;
} processors[] = {
        {EM_386, 32, false, "x86 32 bits (i386)"},
        {EM_X86_64, 64, false, "x86 64 bits (x86_64)"},
        {EM_X86_64, 32, false, "x86 64 bits en mode x32 (x32)"},
        {EM_AARCH64, 64, false, "ARM 64 bits (aarch64)"},
        {EM_AARCH64, 64, true, "ARM 64 bits gros-boutiste (aarch64_be)"},
        {EM_ARM, 32, false, "ARM 32 bits (arm)"},
        {EM_ARM, 32, true, "ARM 32 bits gros-boutiste (armeb)"},
        {EM_PPC64, 64, false, "POWER 64 bits petit-boutiste (ppc64le)"},
        {EM_PPC64, 64, true, "POWER 64 bits (ppc64)"},
        {EM_PPC, 32, true, "PowerPC 32 bits (ppc)"},
        {EM_RISCV, 64, false, "RISC-V 64 bits (riscv64)"},
        {EM_RISCV, 32, false, "RISC-V 32 bits (riscv32)"},
        {EM_MIPS, 32, false, "MIPS 32 bits (mipsel)"},
        {EM_MIPS, 32, true, "MIPS 32 bits (mips)"},
        {EM_MIPS, 64, false, "MIPS 64 bits (mips64el)"},
        {EM_MIPS, 64, true, "MIPS 64 bits (mips64)"},
        {EM_S390, 64, true, "IBM Z 64 bits (s390x)"},
        {EM_S390, 32, true, "IBM S/390 32 bits (s390)"},
        {EM_LOONGARCH, 64, false, "LoongArch 64 bits (loongarch64)"},
        {EM_SPARCV9, 64, true, "SPARC 64 bits (sparc64)"},
        {EM_SPARC, 32, true, "SPARC 32 bits (sparc)"},
        {EM_IA_64, 64, false, "Itanium (ia64)"},
        {EM_68K, 32, true, "Motorola 68000 (m68k)"},
        {EM_PARISC, 32, true, "PA-RISC (hppa)"},
        {EM_SH, 32, false, "SuperH (sh4)"},
        {EM_ALPHA, 64, false, "Alpha (alpha)"},
};

bool operator==(const ElfTarget &a, const ElfTarget &b)
{
	return a.bits == b.bits && a.big_endian == b.big_endian && a.machine == b.machine;
}

std::optional<ElfTarget> elf_target(const std::string &head)
{
	if (head.size() < elf_head_size || head.compare(0, SELFMAG, ELFMAG) != 0)
		return std::nullopt;
	unsigned char elf_class = head[EI_CLASS], data = head[EI_DATA];
	if ((elf_class != ELFCLASS32 && elf_class != ELFCLASS64) ||
	    (data != ELFDATA2LSB && data != ELFDATA2MSB))
		return std::nullopt;
	// e_machine lies at the same place in both classes, in the file's byte
	// order.
	unsigned char low = head[18], high = head[19];
	if (data == ELFDATA2MSB)
		std::swap(low, high);
	return ElfTarget{elf_class == ELFCLASS64 ? 64 : 32, data == ELFDATA2MSB,
	                 unsigned(high) << 8 | low};
}

std::string processor_name(const ElfTarget &target)
{
	for (const auto &p : processors)
		if (ElfTarget{p.bits, p.big_endian, p.machine} == target)
			return p.name;
	return "inconnu de ce lanceur (machine ELF n° " + std::to_string(target.machine) + ", " +
	       std::to_string(target.bits) + " bits" +
	       (target.big_endian ? ", gros-boutiste)" : ")");
}

std::optional<ElfTarget> own_elf_target()
{
	std::optional<std::string> head = read_file_head("/proc/self/exe", elf_head_size);
	return head ? elf_target(*head) : std::nullopt;
}
