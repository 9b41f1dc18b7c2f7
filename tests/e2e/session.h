// One user session: a game directory, the real launcher started in it, and
// its windows driven with real key presses and clicks.
#pragma once

#include "process.h"
#include "layout_ruler.h"
#include "tempdir.h"
#include "x_desktop.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class EndToEnd : public testing::Test {
protected:
	void SetUp() override;

	void add_player(const std::string &name);
	// The stand-in game that records its arguments.
	void install_game();

	// Measures the windows for this directory, starts the launcher and
	// gives its main window the keyboard.
	void start();

	// A window of the launcher's, neither the main window nor a pop-up,
	// that shows up within the wait: a sub-window or a dialog. It is given
	// the keyboard.
	WindowId await_sub_window();
	// The pop-up list of a combo box; it must have the measured size.
	XWindow await_popup(const std::string &combo);
	bool window_goes_away(WindowId id);

	// Waits until the launcher has handled everything sent to it so far,
	// including the layout work that follows a window's change of size.
	void settle();

	// Clicks the middle of widget `id` of `window`, laid out as `where`.
	void click(WindowId window, const WindowLayout &where, const std::string &id);
	void click_in_main(const std::string &id) { click(main_window, layout.main, id); }
	void click_point(int x, int y);
	// Pops the list of a main-window combo box up with a click and clicks its
	// item at `position`.
	void choose_with_mouse(const std::string &combo, int position);

	bool launcher_running() { return launcher->running(); }
	// The launcher must end with status 0, and the stand-in game must
	// record exactly `expected`.
	void expect_game_started_with(const std::vector<std::string> &expected);

	TempDir dir;
	std::vector<std::string> launcher_env; // "NAME=value" for the launcher's start
	LauncherLayout layout;
	std::unique_ptr<LauncherProcess> launcher;
	WindowId main_window = 0;
	WindowId banner_window = 0;
};
