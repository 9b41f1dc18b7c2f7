// Stand-in Wine installs, laid out as each kind a player may have: the
// verdict comes from their files alone, nothing is run.
#include "tempdir.h"

#include "game/wine_install.h"

#include <gtest/gtest.h>

#include <elf.h>

namespace fs = std::filesystem;

static FileList operator+(FileList a, const FileList &b)
{
	a.insert(a.end(), b.begin(), b.end());
	return a;
}

TEST(WineInstall, ThirtyTwoBitPartIsToldFromTheFilesAlone)
{
	const std::string elf32 = linux_program(32, EM_386), elf64 = linux_program(64, EM_X86_64);
	// Debian's script, as far as it names its two loaders.
	const std::string chooser = "#!/bin/sh -e\nwine32=$ROOT/usr/lib/wine/wine\n"
	                            "wine64=$ROOT/usr/lib/wine/wine64\nif test -x $wine32; then\n";
	const FileList debian_64 = {{"usr/bin/wine", "->wine-stable"},
	                            {"usr/bin/wine-stable", chooser},
	                            {"usr/lib/wine/wine64", elf64},
	                            {"usr/lib/x86_64-linux-gnu/wine/x86_64-unix/ntdll.so", ""},
	                            {"usr/lib/x86_64-linux-gnu/wine/i386-windows/zlib1.dll", ""}};
	const FileList only_64 = {{"usr/bin/wine", "->wine64"},
	                          {"usr/bin/wine64", elf64},
	                          {"usr/lib64/wine/x86_64-unix/ntdll.so", ""}};
	struct {
		FileList files;
		Wine32 expected;
	} cases[] = {
	        {debian_64, Wine32::missing},
	        {debian_64 + FileList{{"usr/lib/wine/wine", elf32}}, Wine32::runs}, // wine32:i386
	        {only_64, Wine32::missing},
	        {only_64 + FileList{{"usr/bin/wine32", elf32}}, Wine32::runs},
	        {{{"usr/bin/wine", elf64}, // WoW64 mode
	          {"usr/lib/wine/x86_64-unix/ntdll.so", ""},
	          {"usr/lib/wine/i386-windows/ntdll.dll", ""}},
	         Wine32::runs},
	        {{{"opt/wine/bin/wine", elf32}}, Wine32::runs},
	        // Not enough to tell: the game is tried.
	        {{{"usr/bin/wine", elf64}}, Wine32::unknown},
	        {{{"usr/bin/wine", linux_program(64, EM_AARCH64)},
	          {"usr/lib/wine/x86_64-unix/ntdll.so", ""}},
	         Wine32::unknown},
	        {{{"usr/bin/wine", chooser}}, Wine32::unknown},
	        // A wrapper naming no 32-bit loader may still run one it finds otherwise.
	        {FileList{{"usr/bin/wine", "#!/bin/sh\nexec $ROOT/usr/bin/wine64 \"$@\"\n"}} +
	                 FileList(only_64.begin() + 1, only_64.end()),
	         Wine32::unknown},
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(&c - cases);
		TempDir root;
		lay_out_files(root.path(), c.files);
		const fs::path wine = root / (c.files[0].first);
		EXPECT_EQ(wine_32_bit_part(wine.string()), c.expected);
	}
}
