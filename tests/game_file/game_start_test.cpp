// Every kind of trovik.exe a player may have, started as the start button
// starts it: no window is needed to tell what the file is, how it is run,
// or why it is not.
#include "tempdir.h"
#include "wait.h"

#include "base/fd.h"
#include "game/game_start.h"

#include <gtest/gtest.h>

#include <elf.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace fs = std::filesystem;

// The game starts (as itself or through Wine) in a session of its own with
// only 0, 1 and 2, or start_game says in French why not. Nothing reaches a
// shell.
TEST(GameStart, EachKindOfGameFileStartsRightOrIsExplainedInFrench)
{
	TempDir dir;
	write_stand_in_game(dir.path());
	ScopedChdir in(dir.path());
	const std::string pe32 = windows_program(0x14C), pe64 = windows_program(0x8664);
	const std::string arm64 = linux_program(64, EM_AARCH64),
	                  game_script = read_file(dir / "trovik.exe");
	const std::string tool = (dir / "tool").string(), named = "l'interpréteur « " + tool;
	enum Entry { plain, runnable, none, directory, dangling, on_noexec_disk };
	enum { debian_64 = 2, debian }; // Debian's wine without and with wine32:i386
	struct {
		Entry entry;
		std::string bytes;
		int wine;                      // on PATH: 0 none, 1 a stand-in, debian_64 or debian
		std::vector<std::string> said; // nothing: the game starts
	} cases[] = {
	        {runnable, game_script, false, {}},
	        {runnable, "touch pwned\n", true, {"n'est pas un programme", "remettez"}},
	        {runnable, pe32, true, {}},
	        {plain, pe64, true, {}},
	        {plain, pe32, false, {"Windows 32 bits", "« wine »", "i386", "wine32:i386"}},
	        {runnable, pe64, false, {"Windows 64 bits", "Wine", "sudo apt-get install wine,"}},
	        {none, "", false, {"est introuvable", "copiez le jeu"}},
	        {directory, "", false, {"est un dossier"}},
	        {dangling, "", false, {"lien vers « absent.exe »", "n'existe pas"}},
	        {runnable, "#!/nowhere/sh\n", false, {"l'interpréteur « /nowhere/sh »"}},
	        {plain, "#!/bin/sh\ntouch pwned\n", false, {"n'est pas exécutable", "chmod +x"}},
	        {plain, pe32, debian_64, {"32 bits", "add-architecture i386", "wine32:i386 ;"}},
	        {plain, pe32, debian, {}},
	        {plain, pe64, debian_64, {}},
	        {runnable, arm64, 0, {"processeur : ARM 64 bits (aarch64)"}},
	        {runnable, "#!/" + std::string(300, 'x'), 0, {"première ligne", "trop longue"}},
	        {runnable, "#!" + tool + "\n", 0, {named + " », qui n'est pas exécutable"}},
	        {runnable, "#!" + tool + "x\n", 0, {named + "x », qui n'est pas un programme"}},
	        {runnable, "#!" + tool + "s\n", 0, {named + "s », qui est un dossier"}},
	        {on_noexec_disk, game_script, 0, {"interdit d'y lancer", "copiez"}},
	};
	struct RestorePath {
		std::string path = std::getenv("PATH");
		~RestorePath() { setenv("PATH", path.c_str(), 1); }
	} restore;
	const fs::path game = dir / "trovik.exe", on_path[] = {"nowhere", "bin", "deb64", "deb"};
	write_stand_in_game(dir.path(), "bin/wine");
	write_stand_in_game(dir.path(), "recorder");
	// Debian's wine runs its 32-bit loader when it is installed, else its 64-bit one.
	const FileList debian_wine = {{"wine", "#!/bin/sh\nwine32=$ROOT/lib/wine/wine\n"
	                                       "wine64=$ROOT/lib/wine/wine64\n"
	                                       "exec $ROOT/../recorder \"$@\"\n"},
	                              {"lib/wine/wine64", linux_program(64, EM_X86_64)},
	                              {"lib/x86_64-linux-gnu/wine/x86_64-unix/ntdll.so", ""}};
	lay_out_files(dir / "deb64", debian_wine);
	lay_out_files(dir / "deb", debian_wine);
	lay_out_files(dir / "deb", {{"lib/wine/wine", linux_program(32, EM_386)}});
	fs::create_directory(dir / "nowhere");
	fs::create_directory(tool + "s");
	lay_out_files(dir.path(), {{"tool", ""}, {"toolx", "echo\n"}});
	fs::permissions(tool, fs::perms::owner_read);
	fs::create_directory(dir / "noexec");
	const bool noexec = mount("tmpfs", (dir / "noexec").c_str(), "tmpfs", MS_NOEXEC, "") == 0;
	const std::string mount_error = std::strerror(errno);
	struct Unmount {
		std::string at;
		~Unmount() { umount2(at.c_str(), MNT_DETACH); }
	} unmount{dir / "noexec"};
	Fd inheritable(open("/dev/null", O_RDONLY)); // no close-on-exec
	const std::vector<std::string> args = {"anna", "-f", "640x480", "Français", "0", "0"};
	for (const auto &c : cases) {
		SCOPED_TRACE(&c - cases);
		fs::remove_all(game);
		if (c.entry == directory)
			fs::create_directory(game);
		else if (c.entry == dangling)
			fs::create_symlink("absent.exe", game);
		else if (c.entry == on_noexec_disk && !noexec)
			continue;
		else if (c.entry == on_noexec_disk) {
			write_file(dir / "noexec/game", c.bytes);
			fs::permissions(dir / "noexec/game", fs::perms::owner_all);
			fs::create_symlink("noexec/game", game);
		} else if (c.entry != none)
			write_file(game, c.bytes);
		if (c.entry == runnable || c.entry == plain)
			fs::permissions(game, c.entry == runnable ? fs::perms::owner_all
			                                          : fs::perms::owner_read);
		// An empty directory: a real Wine installed here must not be found.
		setenv("PATH", (dir / on_path[c.wine]).c_str(), 1);
		const std::string said = start_game("trovik.exe", args);
		if (!c.said.empty()) {
			for (const std::string &part : c.said)
				EXPECT_NE(said.find(part), std::string::npos) << said;
			EXPECT_FALSE(fs::exists(dir / "args.out") || fs::exists(dir / "pwned"));
			continue;
		}
		EXPECT_EQ(said, "");
		ASSERT_TRUE(wait_until([&] { return fs::exists(dir / "args.out"); },
		                       std::chrono::seconds(5)))
		        << "the game was not started";
		std::vector<std::string> got = read_stand_in_args(dir.path()), want = args;
		if (c.wine)
			want.insert(want.begin(), "./trovik.exe");
		ASSERT_FALSE(got.empty());
		EXPECT_EQ(std::vector<std::string>(got.begin() + 1, got.end()), want);
		EXPECT_EQ(read_file(dir / "cwd.out"), fs::canonical(dir.path()).string() + "\n");
		pid_t pid = 0, pgid = 0, sid = 0;
		std::istringstream(read_file(dir / "session.out")) >> pid >> pgid >> sid;
		EXPECT_TRUE(sid == pid && pgid == pid && sid != getsid(0))
		        << "not a session of its own: " << pid << " " << pgid << " " << sid;
		EXPECT_EQ(read_file(dir / "fds.out"), "0\n1\n2\n3\n"); // 3: ls's listing
		fs::remove(dir / "args.out");
	}
	if (!noexec)
		GTEST_SKIP() << "the game on a noexec disk was not tried: " << mount_error;
}
