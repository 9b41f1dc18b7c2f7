// Creating and deleting players through their windows, as a user does.
#include "session.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

static std::vector<std::string> defaults_after(const std::string &player)
{
	return {player, "-f", "640x480", "Français", "0", "0"};
}

TEST_F(EndToEnd, AddWindowByKeyboard)
{
	add_player("anna");
	add_player("Bob");
	install_game();
	start();

	// Confirmed with Enter in the name: the player exists and is selected.
	press_keys({"alt+n"});
	WindowId add = await_sub_window();
	type_text("Carla");
	screenshot("add-player", add);
	press_keys({"Return"});
	ASSERT_TRUE(window_goes_away(add));
	EXPECT_TRUE(fs::is_directory(dir / "profils" / "Carla"));
	EXPECT_TRUE(launcher_running());

	// Enter pressed once more, as a hurried user does, lands on the new
	// player and starts nothing; the start button's own key does.
	focus_window(main_window);
	press_keys({"Return"});
	EXPECT_FALSE(wait_until([&] { return fs::exists(dir / "args.out"); }, 1500ms))
	        << "a second Enter started the game";
	ASSERT_TRUE(launcher_running());
	press_keys({"Escape", "alt+j"});
	expect_game_started_with(defaults_after("Carla"));
}

TEST_F(EndToEnd, AddWindowByMouse)
{
	add_player("anna");
	install_game();
	std::string before = snapshot_tree(dir.path());
	start();

	click_in_main("bouton_ajout");
	WindowId add = await_sub_window();
	type_text("ghost");

	// While the window is open, the main window takes no orders.
	Rect main = window_info(main_window).value().frame;
	const Rect &jouer = layout.main["bouton_jouer"];
	ASSERT_FALSE(window_info(add).value().frame.contains(main.x + jouer.center_x(),
	                                                     main.y + jouer.center_y()))
	        << "the add window covers the start button";
	click_in_main("bouton_jouer");
	EXPECT_FALSE(wait_until([&] { return fs::exists(dir / "args.out"); }, 1500ms))
	        << "the game started from under the add window";
	ASSERT_TRUE(launcher_running());

	click(add, layout.add, "annuler_ajout");
	ASSERT_TRUE(window_goes_away(add));
	EXPECT_EQ(snapshot_tree(dir.path()), before);

	click_in_main("bouton_ajout");
	add = await_sub_window();
	type_text("zed");
	click(add, layout.add, "bouton_creer");
	ASSERT_TRUE(window_goes_away(add));
	EXPECT_TRUE(fs::is_directory(dir / "profils" / "zed"));

	click_in_main("bouton_jouer");
	expect_game_started_with(defaults_after("zed"));
}

// The player selected at start-up, anna, has records: they go with her.
TEST_F(EndToEnd, DeleteWindowByKeyboard)
{
	add_player("anna");
	fs::create_directories(dir / "profils" / "anna" / "pack1" / "level3");
	write_file(dir / "profils" / "anna" / "pack1" / "level1", "12 moves\n");
	add_player("Bob");
	add_player("zoe");
	install_game();
	start();

	press_keys({"alt+s"});
	WindowId del = await_sub_window();
	screenshot("delete-player", del);
	press_keys({"alt+s"});
	ASSERT_TRUE(window_goes_away(del));
	EXPECT_FALSE(fs::exists(dir / "profils" / "anna"));
	EXPECT_TRUE(fs::is_directory(dir / "profils" / "Bob"));
	EXPECT_TRUE(fs::is_directory(dir / "profils" / "zoe"));
	EXPECT_TRUE(launcher_running());

	// The first remaining player in sorted order is selected; the keyboard
	// is back on the button that opened the window, so Jouer is pressed by
	// its own key.
	focus_window(main_window);
	press_keys({"alt+j"});
	expect_game_started_with(defaults_after("Bob"));
}

TEST_F(EndToEnd, DeleteWindowByMouse)
{
	add_player("anna");
	add_player("Bob");
	install_game();
	std::string before = snapshot_tree(dir.path());
	start();

	click_in_main("bouton_suppression");
	WindowId del = await_sub_window();
	click(del, layout.remove, "annuler_suppression");
	ASSERT_TRUE(window_goes_away(del));
	EXPECT_EQ(snapshot_tree(dir.path()), before);

	click_in_main("bouton_suppression");
	del = await_sub_window();
	click(del, layout.remove, "bouton_supprimer");
	ASSERT_TRUE(window_goes_away(del));
	EXPECT_FALSE(fs::exists(dir / "profils" / "anna"));
	EXPECT_TRUE(fs::is_directory(dir / "profils" / "Bob"));

	click_in_main("bouton_jouer");
	expect_game_started_with(defaults_after("Bob"));
}

// Escape leaves either window as its cancel button does, whatever was typed,
// and so do Tab and Return from the add window's name, Cancel being the next
// button, and Return on the delete window, whose default is to cancel. The
// main window has the keyboard again at once, on the button that opened the
// window: Return then opens it again, and never starts the game.
TEST_F(EndToEnd, CancellingEitherWindowGivesTheKeyboardBackToItsButton)
{
	add_player("anna");
	fs::create_directories(dir / "profils" / "anna" / "pack1" / "level3");
	write_file(dir / "profils" / "anna" / "pack1" / "level1", "12 moves\n");
	add_player("Bob");
	install_game();
	std::string before = snapshot_tree(dir.path());
	start();

	struct {
		std::string opener, title, typed;
		std::vector<std::string> closer;
	} windows[] = {{"alt+n", "Nouveau joueur", "ghost", {"Escape"}},
	               {"alt+n", "Nouveau joueur", "ghost", {"Tab", "Return"}},
	               {"alt+s", "Supprimer un joueur", "", {"Escape"}},
	               {"alt+s", "Supprimer un joueur", "", {"Return"}}};
	for (const auto &w : windows) {
		SCOPED_TRACE(w.title + " closed with " + testing::PrintToString(w.closer));
		press_keys({w.opener});
		WindowId sub = await_sub_window();
		ASSERT_EQ(window_info(sub).value().name, w.title);
		if (!w.typed.empty())
			type_text(w.typed);
		press_keys(w.closer);
		ASSERT_TRUE(window_goes_away(sub));
		EXPECT_EQ(snapshot_tree(dir.path()), before);
		EXPECT_TRUE(wait_until([&] { return focused_window() == main_window; }))
		        << "the keyboard went to " << focused_window();
		press_keys({"Return"});
		WindowId again = await_sub_window();
		ASSERT_TRUE(launcher_running()) << "Return started the game";
		EXPECT_EQ(window_info(again).value().name, w.title);
		press_keys({"Escape"});
		ASSERT_TRUE(window_goes_away(again));
		EXPECT_TRUE(wait_until([&] { return focused_window() == main_window; }));
	}
	press_keys({"alt+j"});
	expect_game_started_with(defaults_after("anna"));
}

// Ten thousand players drop down as three do (GTK 3's own list asked X for
// a window taller than it allows, and the launcher died): Escape leaves the
// list as it was, the keyboard goes to the end of it and picks a player.
TEST_F(EndToEnd, KeyboardChoosesAmongTenThousandPlayers)
{
	for (int i = 10000; i < 20000; i++)
		add_player("p" + std::to_string(i));
	install_game();
	start();

	press_keys({"alt+o", "Return"});
	XWindow list = await_popup("joueur");
	press_keys({"Down", "Escape"});
	ASSERT_TRUE(window_goes_away(list.id));
	press_keys({"Return"});
	list = await_popup("joueur");
	press_keys({"End", "Up", "Return"});
	ASSERT_TRUE(window_goes_away(list.id));
	press_keys({"alt+j"});
	expect_game_started_with(defaults_after("p19998"));
}
