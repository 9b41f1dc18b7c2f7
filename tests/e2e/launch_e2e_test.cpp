// Choosing the options of the game and starting it, as a user does.
#include "session.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

// Positions in the interface file's lists; the resolutions: the full-screen
// heading and modes, a line of dashes, then the windowed heading and modes.
enum { francais, english };
enum { plein_ecran_title, fs_640, fs_800, fs_1024, fs_1280, dashes };
enum { fenetre_title = dashes + 1, w_640, w_800, w_1024 };

TEST_F(EndToEnd, KeyboardChoicesBecomeTheGameArguments)
{
	add_player("zoe");
	add_player("anna");
	add_player("Bob");
	install_game();
	start();
	screenshot("main-window", main_window);

	// Language through its list: Return opens it, Down and Return pick.
	press_keys({"alt+l", "Return"});
	XWindow list = await_popup("langue");
	press_keys({"Down", "Return"});
	ASSERT_TRUE(window_goes_away(list.id));

	// Resolution with the arrows alone, from the start-up position, across
	// the separators to the windowed 800x600.
	press_keys({"alt+a"});
	press_keys(std::vector<std::string>(w_800 - fs_640, "Down"));

	// Both switches on, then the second one off again.
	press_keys({"alt+m", "alt+b", "alt+b"});

	// The player: Down on the closed selector moves to Bob, the second in
	// sorted order; Return opens the list there, Down and Return pick zoe.
	press_keys({"alt+o", "Down", "Return"});
	list = await_popup("joueur");
	screenshot("player-list", list.frame.united(window_info(main_window).value().frame));
	press_keys({"Down", "Return"});
	ASSERT_TRUE(window_goes_away(list.id));

	// Alt+J presses "Jouer".
	press_keys({"alt+j"});
	expect_game_started_with({"zoe", "-w", "800x600", "English", "1", "0"});
}

TEST_F(EndToEnd, MouseChoicesBecomeTheGameArguments)
{
	add_player("anna");
	add_player("Bob");
	add_player("zoe");
	install_game();
	start();

	choose_with_mouse("langue", english);

	click_in_main("resolution");
	XWindow list = await_popup("resolution");
	screenshot("resolution-list", list.frame.united(window_info(main_window).value().frame));
	const Rect &item = layout.popup("resolution").items.at(plein_ecran_title);
	click_point(list.frame.x + item.center_x(), list.frame.y + item.center_y());
	ASSERT_TRUE(window_goes_away(list.id));

	choose_with_mouse("joueur", 2);
	click_in_main("checkbutton4");
	click_in_main("bouton_jouer");

	// A heading of the list is no screen mode: "-0", its text as it stands.
	expect_game_started_with({"zoe", "-0", "-- Plein écran --", "English", "0", "1"});
}

TEST_F(EndToEnd, EachMouseChoiceCanBeTakenBack)
{
	add_player("anna");
	add_player("Bob");
	install_game();
	start();

	choose_with_mouse("langue", english);
	choose_with_mouse("langue", francais);
	choose_with_mouse("resolution", w_1024);
	choose_with_mouse("joueur", 1);
	choose_with_mouse("joueur", 0);
	click_in_main("checkbutton3");
	click_in_main("checkbutton4");
	click_in_main("checkbutton4");
	click_in_main("bouton_jouer");

	expect_game_started_with({"anna", "-w", "1024x768", "Français", "1", "0"});
}

TEST_F(EndToEnd, QuitEndsWithoutStartingTheGame)
{
	add_player("anna");
	install_game();
	std::string before = snapshot_tree(dir.path());
	start();

	click_in_main("checkbutton3");
	click_in_main("bouton_quitter");

	std::optional<int> status = launcher->wait(std::chrono::seconds(20));
	ASSERT_TRUE(status.has_value()) << "the launcher did not end";
	EXPECT_EQ(*status, 0);
	EXPECT_EQ(snapshot_tree(dir.path()), before) << "the game ran or the disk changed";
}

// The game is missing, then there but not executable, then a text file,
// then a Windows game without Wine: each time the user is told in a dialog
// over the launcher, which stays with the choices made; once Wine is there,
// the same button starts the game through it.
TEST_F(EndToEnd, GameThatCannotRunIsReportedUntilItCan)
{
	add_player("anna");
	const fs::path wine_dir = dir / "bin"; // empty until Wine is "installed"
	fs::create_directory(wine_dir);
	launcher_env = {"PATH=" + wine_dir.string()};
	start();
	press_keys({"alt+b"});

	auto expect_dialog_then_close_it = [&](const char *why) {
		press_keys({"Return"});
		WindowId dialog = await_sub_window();
		EXPECT_EQ(window_type(dialog), "_NET_WM_WINDOW_TYPE_DIALOG") << why;
		EXPECT_EQ(transient_for(dialog), main_window) << why;
		EXPECT_TRUE(launcher_running()) << why;

		press_keys({"Return"});
		EXPECT_TRUE(window_goes_away(dialog)) << why;
		EXPECT_TRUE(launcher_running()) << why;
		focus_window(main_window);
	};

	expect_dialog_then_close_it("game missing");
	install_game();
	fs::permissions(dir / "trovik.exe", fs::perms::owner_read | fs::perms::owner_write);
	expect_dialog_then_close_it("game not executable");
	write_file(dir / "trovik.exe", "touch pwned\n");
	fs::permissions(dir / "trovik.exe", fs::perms::owner_all);
	expect_dialog_then_close_it("game a text file");
	EXPECT_FALSE(fs::exists(dir / "pwned")) << "the file reached a shell";
	write_file(dir / "trovik.exe", windows_program(0x14C));
	expect_dialog_then_close_it("Windows game without Wine");
	EXPECT_FALSE(fs::exists(dir / "args.out"));

	write_stand_in_game(dir.path(), "bin/wine");
	press_keys({"Return"});
	expect_game_started_with({"./trovik.exe", "anna", "-f", "640x480", "Français", "0", "1"});
}
