// The start button of the real interface file, pressed in this process.
#include "gui.h"
#include "hostile_names.h"
#include "launcher_end.h"

#include "base/fd.h"
#include "base/glib_ptr.h"
#include "base/combo_box.h"
#include "interface/main_window.h"
#include "shell/game_arguments.h"
#include "base/platform.h"

#include <gtest/gtest.h>

#include <elf.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;

TEST(ModeLetter, FollowsTheResolutionBands)
{
	const char expected[] = "00ffff00www000"; // positions -1 to 12
	for (int position = -1; position <= 12; position++)
		EXPECT_EQ(mode_letter(position), expected[position + 1]) << position;
}

class Launch : public GuiTest {
protected:
	void SetUp() override
	{
		GuiTest::SetUp();
		write_stand_in_game(dir.path());
	}

	// Presses "Jouer": the stand-in game must have been started with
	// `expected`, the main window destroyed and the launcher ended with 0.
	void expect_game_started_with(const std::vector<std::string> &expected)
	{
		GtkWidget *main = ZelkWidget.main;
		g_object_add_weak_pointer(G_OBJECT(main), reinterpret_cast<gpointer *>(&main));
		click(main_widget("bouton_jouer"));
		EXPECT_EQ(take_launcher_end().value_or(-1), 0);
		EXPECT_EQ(main, nullptr) << "the main window was not destroyed";
		if (main)
			g_object_remove_weak_pointer(G_OBJECT(main),
			                             reinterpret_cast<gpointer *>(&main));
		ASSERT_TRUE(wait_until([&] { return fs::exists(dir / "args.out"); },
		                       std::chrono::seconds(5)))
		        << "the game was not started";
		std::vector<std::string> args = read_stand_in_args(dir.path());
		ASSERT_FALSE(args.empty());
		EXPECT_EQ(std::vector<std::string>(args.begin() + 1, args.end()), expected);
		EXPECT_EQ(read_file(dir / "cwd.out"), fs::canonical(dir.path()).string() + "\n");
		fs::remove(dir / "args.out");
	}

	void toggle(const char *id, bool on)
	{
		gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(main_widget(id)), on);
	}
};

TEST_F(Launch, StartUpChoosesFirstLanguageFirstFullScreenModeFirstPlayer)
{
	add_player("zoe");
	add_player("Anna");
	start();
	EXPECT_EQ(gtk_combo_box_get_active(combo("langue")), 0);
	EXPECT_EQ(gtk_combo_box_get_active(combo("resolution")), 1);
	EXPECT_EQ(active_player(), "Anna");
	expect_game_started_with({"Anna", "-f", "640x480", "Français", "0", "0"});
}

TEST_F(Launch, EachSwitchHasItsOwnField)
{
	add_player("anna");
	start();
	toggle("checkbutton3", true);
	expect_game_started_with({"anna", "-f", "640x480", "Français", "1", "0"});
	start();
	toggle("checkbutton4", true);
	expect_game_started_with({"anna", "-f", "640x480", "Français", "0", "1"});
}

TEST_F(Launch, ResolutionPositionGivesLetterAndItsTextAsItStands)
{
	add_player("anna");
	struct {
		int position;
		const char *letter;
	} cases[] = {
	        {0, "-0"}, {4, "-f"}, {5, "-0"}, {6, "-0"}, {7, "-w"}, {9, "-w"},
	};
	for (auto c : cases) {
		start();
		gtk_combo_box_set_active(combo("resolution"), c.position);
		std::string text = combo_active_text(ZelkWidget.resolution).value();
		expect_game_started_with({"anna", c.letter, text, "Français", "0", "0"});
	}
}

// The text the closed selector shows: its view's cell as laid out for the
// active row.
static std::string shown_when_closed(GtkComboBox *combo)
{
	GtkCellView *view = GTK_CELL_VIEW(gtk_bin_get_child(GTK_BIN(combo)));
#if GTK_CHECK_VERSION(3, 0, 0)
	// GTK 3's closed view measures every row; its cells hold the last
	// one measured until they are set for the row it draws.
	GtkTreeIter active;
	gtk_combo_box_get_active_iter(combo, &active);
	gtk_cell_area_apply_attributes(gtk_cell_layout_get_area(GTK_CELL_LAYOUT(view)),
	                               gtk_combo_box_get_model(combo), &active, FALSE, FALSE);
#else
	GtkTreePath *path = gtk_cell_view_get_displayed_row(view);
	GtkRequisition size;
	gtk_cell_view_get_size_of_row(view, path, &size);
	gtk_tree_path_free(path);
#endif
	GList *cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(view));
	gchar *text = nullptr;
	g_object_get(cells->data, "text", &text, nullptr);
	g_list_free(cells);
	return GCharPtr(text).get();
}

TEST_F(Launch, ClosedResolutionShowsTheModeBesideTheGamesArgument)
{
	add_player("anna");
	struct {
		int position;
		const char *letter, *mode;
	} cases[] = {{1, "-f", " — plein écran"}, {9, "-w", " — fenêtre"}, {5, "-0", ""}};
	for (auto c : cases) {
		start();
		gtk_combo_box_set_active(combo("resolution"), c.position);
		std::string item = combo_active_text(ZelkWidget.resolution).value();
		EXPECT_EQ(shown_when_closed(combo("resolution")), item + c.mode);
		expect_game_started_with({"anna", c.letter, item, "Français", "0", "0"});
	}
}

TEST_F(Launch, NoActiveLanguageOrResolutionGivesEmptyArguments)
{
	add_player("anna");
	start();
	gtk_combo_box_set_active(combo("resolution"), -1);
	gtk_combo_box_set_active(combo("langue"), -1);
	expect_game_started_with({"anna", "-0", "", "", "0", "0"});
}

// Every name a player can have on disk, also one the add window refuses.
TEST_F(Launch, HostilePlayerNamesArriveWholeAndUntouched)
{
	for (const std::string &name : hostile_names_where(&HostileName::listed)) {
		SCOPED_TRACE(name);
		fs::remove_all(dir / "profils");
		add_player(name);
		start();
		expect_game_started_with({name, "-f", "640x480", "Français", "0", "0"});
	}
	EXPECT_FALSE(fs::exists(dir / "x")) << "a name reached a shell";
}

TEST_F(Launch, WithoutPlayerTheStartButtonDoesNothing)
{
	start();
	ASSERT_EQ(player_count(), 0);
	click(main_widget("bouton_jouer"));
	pump_events(300);
	EXPECT_FALSE(fs::exists(dir / "args.out"));
	EXPECT_TRUE(GTK_IS_WINDOW(ZelkWidget.main));
	EXPECT_TRUE(toplevels(GTK_TYPE_MESSAGE_DIALOG).empty());
}

// The game cannot start: the user is told why and keeps the launcher with
// the choices made.
TEST_F(Launch, GameThatCannotStartIsReportedAndLauncherStays)
{
	add_player("anna");
	start();
	gtk_combo_box_set_active(combo("resolution"), 8);
	toggle("checkbutton4", true);

	for (bool present : {false, true}) {
		if (present)
			fs::permissions(dir / "trovik.exe",
			                fs::perms::owner_read | fs::perms::owner_write);
		else
			fs::rename(dir / "trovik.exe", dir / "elsewhere");
		click(main_widget("bouton_jouer"));

		std::vector<GtkWidget *> dialogs = toplevels(GTK_TYPE_MESSAGE_DIALOG);
		ASSERT_EQ(dialogs.size(), 1u);
		gchar *text = nullptr;
		g_object_get(dialogs[0], "text", &text, nullptr);
		const std::string said = GCharPtr(text).get();
		EXPECT_NE(said.find("trovik.exe"), std::string::npos) << said;
		gtk_dialog_response(GTK_DIALOG(dialogs[0]), GTK_RESPONSE_CLOSE);
		pump_events();
		EXPECT_TRUE(toplevels(GTK_TYPE_MESSAGE_DIALOG).empty());

		EXPECT_TRUE(gtk_widget_get_visible(ZelkWidget.main));
		EXPECT_EQ(gtk_combo_box_get_active(combo("resolution")), 8);
		EXPECT_TRUE(
		        gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(ZelkWidget.checkbutton4)));
		if (!present)
			fs::rename(dir / "elsewhere", dir / "trovik.exe");
	}
}

// Every kind of trovik.exe a player may have: the game starts (as itself or
// through Wine) in a session of its own with only 0, 1 and 2, or the
// launcher stays and says in French why not. Nothing reaches a shell.
TEST_F(Launch, EachKindOfGameFileStartsRightOrIsExplainedInFrench)
{
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
	        {runnable, read_file(dir / "trovik.exe"), false, {}},
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
		std::string path = g_getenv("PATH");
		~RestorePath() { g_setenv("PATH", path.c_str(), TRUE); }
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
	add_player("anna");
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
		g_setenv("PATH", (dir / on_path[c.wine]).c_str(), TRUE);
		start();
		if (c.said.empty()) {
			std::vector<std::string> args = {"anna",     "-f", "640x480",
			                                 "Français", "0",  "0"};
			if (c.wine)
				args.insert(args.begin(), "./trovik.exe");
			expect_game_started_with(args);
			pid_t pid = 0, pgid = 0, sid = 0;
			std::istringstream(read_file(dir / "session.out")) >> pid >> pgid >> sid;
			EXPECT_TRUE(sid == pid && pgid == pid && sid != getsid(0))
			        << "not a session of its own: " << pid << " " << pgid << " " << sid;
			EXPECT_EQ(read_file(dir / "fds.out"), "0\n1\n2\n3\n"); // 3: ls's listing
			continue;
		}
		click(main_widget("bouton_jouer"));
		std::vector<GtkWidget *> dialogs = toplevels(GTK_TYPE_MESSAGE_DIALOG);
		ASSERT_EQ(dialogs.size(), 1u);
		gchar *text = nullptr, *why = nullptr;
		g_object_get(dialogs[0], "text", &text, "secondary-text", &why, nullptr);
		EXPECT_STREQ(GCharPtr(text).get(), "Impossible de lancer le jeu « trovik.exe ».");
		const std::string said = GCharPtr(why).get();
		for (const std::string &part : c.said)
			EXPECT_NE(said.find(part), std::string::npos) << said;
		gtk_widget_destroy(dialogs[0]);
		pump_events(200);
		EXPECT_FALSE(take_launcher_end());
		EXPECT_FALSE(fs::exists(dir / "args.out") || fs::exists(dir / "pwned"));
		gtk_widget_destroy(ZelkWidget.main);
	}
	if (!noexec)
		GTEST_SKIP() << "the game on a noexec disk was not tried: " << mount_error;
}

// The player is renamed on disk just before the press, before the list
// follows: the game is not started, the window says why, the list is new,
// and a late rebuild for the same change keeps the word.
TEST_F(Launch, PlayerGoneFromDiskIsNotHandedToTheGame)
{
	add_player("anna");
	add_player("bob");
	start();
	ASSERT_EQ(active_player(), "anna");
	fs::rename(dir / "profils/anna", dir / "profils/zed");
	click(main_widget("bouton_jouer"));
	pump_events(800);
	EXPECT_FALSE(take_launcher_end());
	EXPECT_FALSE(fs::exists(dir / "args.out")) << "the game was started";
	EXPECT_TRUE(toplevels(GTK_TYPE_MESSAGE_DIALOG).empty());
	GtkWidget *hint = main_widget("aide_joueur");
	EXPECT_TRUE(gtk_widget_get_visible(hint));
	EXPECT_EQ(label_text(hint), "Ce joueur n'existe plus.");
	EXPECT_EQ(player_count(), 2);
	EXPECT_EQ(active_player(), "bob");
	expect_game_started_with({"bob", "-f", "640x480", "Français", "0", "0"});
}
