// The X display as a user meets it: windows found and measured by the X
// server, keys and clicks sent through the XTEST extension (xdotool), and
// pictures of the screen (ImageMagick). Every tool runs as a process of its
// own, started with an argument vector; a tool that fails throws.
// Pixels are read through this process's own connection to the display.
#pragma once

#include "wait.h"

#include <sys/types.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

using WindowId = unsigned long;

struct Rect {
	int x = 0, y = 0, width = 0, height = 0;

	int center_x() const { return x + width / 2; }
	int center_y() const { return y + height / 2; }
	bool same_size(const Rect &o) const { return width == o.width && height == o.height; }
	bool contains(int px, int py) const
	{
		return px >= x && px < x + width && py >= y && py < y + height;
	}
	// The smallest rectangle that holds both.
	Rect united(const Rect &o) const
	{
		int left = std::min(x, o.x), top = std::min(y, o.y);
		int right = std::max(x + width, o.x + o.width);
		int bottom = std::max(y + height, o.y + o.height);
		return {left, top, right - left, bottom - top};
	}
};

struct XWindow {
	WindowId id = 0;
	std::string name;
	Rect frame; // relative to the root window
	bool viewable = false;
	bool input_only = false;
	bool override_redirect = false; // menus and other pop-ups
};

// Throws unless a tool of that name can be run.
void require_tool(const std::string &name);

std::optional<XWindow> window_info(WindowId id);
// The windows of process `pid` that show on the screen: mapped, drawn and
// at least partly inside the root window.
std::vector<XWindow> windows_of(pid_t pid);
std::vector<WindowId> children_of(WindowId id);
// The pixels the window shows, as the X server gives them; nothing when
// the window is gone.
std::optional<std::string> window_pixels(WindowId id);
std::optional<WindowId> transient_for(WindowId id);
// The first type of _NET_WM_WINDOW_TYPE, such as "_NET_WM_WINDOW_TYPE_DIALOG".
std::string window_type(WindowId id);

// Raises `id` and gives it the keyboard, as clicking its title would
// (there is no window manager to do it).
void focus_window(WindowId id);
// The window that has the keyboard, as the X server says.
WindowId focused_window();
// Key presses in xdotool's names ("alt+l", "Down", "Return"), one after the
// other, to the window that has the keyboard.
void press_keys(const std::vector<std::string> &keys);
void type_text(const std::string &text);
// Moves the pointer to (x, y) of the root window and clicks button 1 there.
void click_at(int x, int y);

// When TROVIK_SCREENSHOTS names a directory, saves the window, or the
// rectangle of the screen, there as `name`.png; otherwise does nothing.
void screenshot(const std::string &name, WindowId id);
void screenshot(const std::string &name, const Rect &area);
