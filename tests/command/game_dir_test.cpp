#include "command/game_dir.h"
#include "command/launcher_failure.h"

#include "tempdir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(GameDirOf, FollowsTheBaseDirectoryRules)
{
	struct Case {
		const char *xdg, *home, *password, *expected;
	} cases[] = {
		{"/data", "/home/anna", "/pw", "/data/trovik"},
		{"relative/data", "/home/anna", "/pw", "/home/anna/.local/share/trovik"},
		{"", "/home/anna/", "/pw", "/home/anna/.local/share/trovik"},
		{nullptr, "/", "/pw", "/.local/share/trovik"},
		{nullptr, "", "/pw", "/pw/.local/share/trovik"},
		{nullptr, nullptr, "", ""},
	};
	for (const Case &c : cases)
		EXPECT_EQ(game_dir_of({c.xdg, c.home, c.password}), c.expected) << c.xdg << " " << c.home;
}

// What a game directory holds at one name before a start, and what it must
// hold after: "->X" a link to X ("@" for the shared file, "~" for the
// test's directory), other text a file's bytes, "" nothing.
TEST(PrepareGameDir, LinksTheSharedFilesAndLeavesThePlayersAlone)
{
	struct Case {
		const char *name, *before, *after;
		bool shared_has_it;
	} cases[] = {
		{"gtktrovik.glade", "", "->@", true},
		{"gtktrovik.glade", "my own skin", "my own skin", true},
		{"gtktrovik.glade", "->/old/install/gtktrovik.glade", "->@", true},
		{"gtktrovik.glade", "->nowhere/gtktrovik.glade", "->nowhere/gtktrovik.glade", true},
		{"gtktrovik.glade", "->/old/install/other.glade", "->/old/install/other.glade", true},
		{"textures/image.tga", "", "->@", true},
		{"textures", "my textures", "my textures", true},
		{"trovik.exe", "", "", false},
		{"trovik.exe", "->@", "", false},
		{"trovik.exe", "->/old/install/trovik.exe", "", false},
		{"trovik.exe", "->~/elsewhere/trovik.exe", "->~/elsewhere/trovik.exe", true},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(std::string(c.name) + " " + c.before);
		TempDir tmp;
		GameDirPlan plan{(tmp / "shared").string(), (tmp / "home/trovik").string()};
		for (const char *dir : {"shared/textures", "home/trovik", "elsewhere"})
			fs::create_directories(tmp / dir);
		for (const char *file : {"gtktrovik.glade", "textures/image.tga", "gtktrovik.png", "trovik.exe"})
			if (c.shared_has_it || std::string(file) != c.name)
				write_file(tmp / "shared" / file, "shared");
		write_file(tmp / "elsewhere/trovik.exe", "game");
		fs::path path = tmp / "home/trovik" / c.name;
		std::string shared = plan.shared + "/" + c.name;
		auto target = [&](const std::string &link) {
			std::string to = link.substr(2);
			return to == "@" ? shared : to[0] == '~' ? tmp.path().string() + to.substr(1) : to;
		};
		std::string before = c.before;
		if (before.rfind("->", 0) == 0)
			fs::create_symlink(target(before), path);
		else if (!before.empty())
			write_file(path, before);

		ASSERT_EQ(prepare_game_dir(plan), "");
		std::string after = c.after;
		if (after.rfind("->", 0) == 0)
			EXPECT_EQ(fs::read_symlink(path), target(after));
		else if (after.empty())
			EXPECT_EQ(fs::symlink_status(path).type(), fs::file_type::not_found);
		else
			EXPECT_EQ(read_file(path), after);
		EXPECT_TRUE(fs::is_directory(tmp / "home/trovik/profils"));
	}
}

TEST(PrepareGameDir, SaysInFrenchWhyNot)
{
	TempDir tmp;
	write_file(tmp / "home", "a file where the home should be");
	std::string game = (tmp / "home/trovik").string();
	EXPECT_EQ(prepare_game_dir({(tmp / "shared").string(), game}),
	          "Impossible de préparer le dossier du jeu « " + game +
	              " » : un élément du chemin n'est pas un dossier.");
}

// What the player is told of the launcher's last line and status, where
// the interface file in the game directory is theirs.
TEST(LauncherFailure, SaysWhatIsWrongAndWhatToDo)
{
	TempDir tmp;
	GameDirPlan plan{(tmp / "shared").string(), tmp.path().string()};
	write_file(tmp / "gtktrovik.glade", "the player's");
	EXPECT_EQ(launcher_failure(1, "libglade error : can't get *main* widget\n", plan),
	          "Trovik ne peut pas démarrer : son fichier d'interface « gtktrovik.glade » est "
	          "incomplet ou d'une autre version. Retirez « " + plan.game + "/gtktrovik.glade », "
	          "mis à la place de celui du jeu : celui du jeu reviendra au prochain démarrage.");
	EXPECT_EQ(launcher_failure(0, "zelk.glade loading error\n\n", plan), "");
	EXPECT_EQ(launcher_failure(1, "", plan), "");
}
