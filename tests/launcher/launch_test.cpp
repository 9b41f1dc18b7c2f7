// The start button of the real interface file, pressed in this process.
#include "gui.h"
#include "hostile_names.h"
#include "launcher_end.h"

#include "base/combo_box.h"
#include "base/glib_ptr.h"
#include "interface/main_window.h"
#include "game/game_arguments.h"

#include <gtest/gtest.h>

#include <functional>

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
		// What is wrong goes under the heading: tests/game_file.
		gchar *text = nullptr, *why = nullptr;
		g_object_get(dialogs[0], "text", &text, "secondary-text", &why, nullptr);
		EXPECT_STREQ(GCharPtr(text).get(), "Impossible de lancer le jeu « trovik.exe ».");
		const std::string said = GCharPtr(why).get();
		EXPECT_NE(said.find("trovik.exe"), std::string::npos) << said;
		gtk_dialog_response(GTK_DIALOG(dialogs[0]), GTK_RESPONSE_CLOSE);
		pump_events();
		EXPECT_TRUE(toplevels(GTK_TYPE_MESSAGE_DIALOG).empty());

		EXPECT_FALSE(take_launcher_end());
		EXPECT_TRUE(gtk_widget_get_visible(ZelkWidget.main));
		EXPECT_EQ(gtk_combo_box_get_active(combo("resolution")), 8);
		EXPECT_TRUE(
		        gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(ZelkWidget.checkbutton4)));
		if (!present)
			fs::rename(dir / "elsewhere", dir / "trovik.exe");
	}
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
