#include "session.h"

#include "gui.h"

#include <gdk/gdk.h>

#include <stdexcept>

namespace fs = std::filesystem;

static std::string size_text(const Rect &r)
{
	return std::to_string(r.width) + "x" + std::to_string(r.height);
}

void EndToEnd::SetUp()
{
	ASSERT_NE(gdk_display_get_default(), nullptr) << "these tests need an X display";
	for (const char *tool : {"xdotool", "xwininfo", "xprop"})
		require_tool(tool);
	lay_out_game_dir(dir.path());
}

void EndToEnd::add_player(const std::string &name)
{
	fs::create_directories(dir / "profils" / name);
}

void EndToEnd::install_game()
{
	write_stand_in_game(dir.path());
}

// Windows are shown before everything in them is filled in, and grow
// afterwards: a window is ready for clicks once it has its measured size.
static XWindow at_measured_size(WindowId id, const Rect &size, const std::string &what)
{
	std::optional<XWindow> w;
	wait_until([&] {
		w = window_info(id);
		return !w || (w->viewable && w->frame.same_size(size));
	});
	if (!w || !w->viewable)
		throw std::runtime_error("the window of " + what + " is not shown");
	if (!w->frame.same_size(size))
		throw std::runtime_error("the window of " + what + " is " + size_text(w->frame) +
		                         ", measured " + size_text(size));
	return *w;
}

void EndToEnd::start()
{
	layout = measure_launcher(dir.path());
	launcher = std::make_unique<LauncherProcess>(dir.path(), std::string(), launcher_env);
	std::optional<WindowId> main;
	wait_until([&] {
		for (const XWindow &w : windows_of(launcher->pid()))
			if (!w.override_redirect && w.name == "Trovik")
				main = w.id;
		return main.has_value() || !launcher->running();
	});
	if (!main)
		throw std::runtime_error("the launcher showed no main window; it wrote: " +
		                         launcher->output());
	main_window = *main;
	Rect frame = at_measured_size(main_window, layout.main.size, "the launcher").frame;

	// The banner has an X window of its own, placed where it was measured
	// once the main window is laid out.
	wait_until([&] {
		for (WindowId child : children_of(main_window)) {
			std::optional<XWindow> w = window_info(child);
			if (w && w->viewable && !w->input_only &&
			    w->frame.x - frame.x == layout.banner.x &&
			    w->frame.y - frame.y == layout.banner.y &&
			    w->frame.same_size(layout.banner))
				banner_window = child;
		}
		return banner_window != 0;
	});
	if (!banner_window)
		throw std::runtime_error("the banner did not take its place in the main window");
	focus_window(main_window);
}

// The banner draws a frame only when the launcher's main loop has nothing
// more urgent to do: pending events, and the layout and drawing they cause,
// come first. Two frames drawn after now mean everything before is done.
void EndToEnd::settle()
{
	std::optional<std::string> last = window_pixels(banner_window);
	for (int frames = 0; frames < 2; frames++) {
		bool drawn = wait_until([&] {
			std::optional<std::string> now = window_pixels(banner_window);
			if (now == last)
				return false;
			last = now;
			return true;
		});
		if (!drawn)
			throw std::runtime_error(
			        "the banner stands still: the launcher is busy, or has no GL");
	}
}

void EndToEnd::click_point(int x, int y)
{
	settle();
	click_at(x, y);
}

WindowId EndToEnd::await_sub_window()
{
	std::optional<WindowId> found;
	wait_until([&] {
		for (const XWindow &w : windows_of(launcher->pid()))
			if (!w.override_redirect && w.id != main_window)
				found = w.id;
		return found.has_value();
	});
	if (!found)
		throw std::runtime_error("no window of the launcher's showed up");
	focus_window(*found);
	return *found;
}

XWindow EndToEnd::await_popup(const std::string &combo)
{
	std::optional<XWindow> found;
	wait_until([&] {
		for (const XWindow &w : windows_of(launcher->pid()))
			if (w.override_redirect)
				found = w;
		return found.has_value();
	});
	if (!found)
		throw std::runtime_error("the list of " + combo + " did not pop up");
	return at_measured_size(found->id, layout.popup(combo).size, "the list of " + combo);
}

bool EndToEnd::window_goes_away(WindowId id)
{
	return wait_until([&] {
		std::optional<XWindow> w = window_info(id);
		return !w || !w->viewable;
	});
}

void EndToEnd::click(WindowId window, const WindowLayout &where, const std::string &id)
{
	XWindow w = at_measured_size(window, where.size, id);
	const Rect &r = where[id];
	click_point(w.frame.x + r.center_x(), w.frame.y + r.center_y());
}

void EndToEnd::choose_with_mouse(const std::string &combo, int position)
{
	click_in_main(combo);
	XWindow list = await_popup(combo);
	const Rect &item = layout.popup(combo).items.at(position);
	click_point(list.frame.x + item.center_x(), list.frame.y + item.center_y());
	if (!window_goes_away(list.id))
		throw std::runtime_error("the list of " + combo + " stayed up");
}

void EndToEnd::expect_game_started_with(const std::vector<std::string> &expected)
{
	std::optional<int> status = launcher->wait(std::chrono::seconds(20));
	ASSERT_TRUE(status.has_value()) << "the launcher did not end";
	EXPECT_EQ(*status, 0);
	ASSERT_TRUE(
	        wait_until([&] { return fs::exists(dir / "args.out"); }, std::chrono::seconds(5)))
	        << "the game was not started";
	std::vector<std::string> args = read_stand_in_args(dir.path());
	ASSERT_FALSE(args.empty());
	EXPECT_EQ(std::vector<std::string>(args.begin() + 1, args.end()), expected);
}
