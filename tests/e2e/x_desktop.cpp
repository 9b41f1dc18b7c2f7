#include "x_desktop.h"
#include "process.h"
#include "x_errors.h"

#include "base/glib_ptr.h"

#include <unistd.h>

#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

static std::string describe(const std::vector<std::string> &argv)
{
	std::string all;
	for (const std::string &a : argv)
		all += (all.empty() ? "" : " ") + a;
	return all;
}

static const std::chrono::seconds tool_time(15);

static std::string must_run(const std::vector<std::string> &argv)
{
	ProcessResult r = run_process(argv, tool_time);
	if (r.status != 0)
		throw std::runtime_error(describe(argv) + " failed with status " +
		                         std::to_string(r.status));
	return r.output;
}

void require_tool(const std::string &name)
{
	const char *path = std::getenv("PATH");
	std::istringstream dirs(path ? path : "");
	for (std::string dir; std::getline(dirs, dir, ':');)
		if (!dir.empty() && access((fs::path(dir) / name).c_str(), X_OK) == 0)
			return;
	throw std::runtime_error(name + " is needed to drive the display");
}

static std::string hex(WindowId id)
{
	std::ostringstream s;
	s << "0x" << std::hex << id;
	return s.str();
}

static int field(const std::string &text, const std::string &label)
{
	auto at = text.find(label);
	if (at == std::string::npos)
		throw std::runtime_error("xwininfo gave no " + label);
	return std::stoi(text.substr(at + label.size()));
}

static std::string word_after(const std::string &text, const std::string &label)
{
	auto at = text.find(label);
	if (at == std::string::npos)
		return "";
	std::istringstream rest(text.substr(at + label.size()));
	std::string word;
	rest >> word;
	return word;
}

std::optional<XWindow> window_info(WindowId id)
{
	ProcessResult r = run_process({"xwininfo", "-id", hex(id)}, tool_time, quietly);
	if (r.status != 0) // it went away meanwhile
		return std::nullopt;
	const std::string &t = r.output;
	XWindow w;
	w.id = id;
	std::string first = t.substr(0, t.find('\n', t.find("Window id:")));
	auto open = first.find('"'), close = first.rfind('"');
	if (open != std::string::npos && close > open)
		w.name = first.substr(open + 1, close - open - 1);
	w.frame = {field(t, "Absolute upper-left X:"), field(t, "Absolute upper-left Y:"),
	           field(t, "Width:"), field(t, "Height:")};
	w.viewable = word_after(t, "Map State:") == "IsViewable";
	w.input_only = word_after(t, "  Class:") == "InputOnly";
	w.override_redirect = word_after(t, "Override Redirect State:") == "yes";
	return w;
}

static Rect screen()
{
	static const Rect root = [] {
		std::string t = must_run({"xwininfo", "-root"});
		return Rect{0, 0, field(t, "Width:"), field(t, "Height:")};
	}();
	return root;
}

std::vector<XWindow> windows_of(pid_t pid)
{
	// Finds nothing: status 1 and no output.
	ProcessResult r =
	        run_process({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(pid)},
	                    tool_time, quietly);
	std::vector<XWindow> found;
	std::istringstream ids(r.output);
	WindowId id;
	Rect s = screen();
	while (ids >> id) {
		std::optional<XWindow> w = window_info(id);
		if (!w || !w->viewable || w->input_only)
			continue;
		const Rect &f = w->frame;
		if (f.x + f.width > 0 && f.y + f.height > 0 && f.x < s.width && f.y < s.height)
			found.push_back(*w);
	}
	return found;
}

std::vector<WindowId> children_of(WindowId id)
{
	ProcessResult r =
	        run_process({"xwininfo", "-children", "-id", hex(id)}, tool_time, quietly);
	std::vector<WindowId> children;
	std::istringstream lines(
	        r.output.substr(std::min(r.output.size(), r.output.find("children:"))));
	for (std::string line; std::getline(lines, line);) {
		std::istringstream words(line);
		std::string word;
		if (words >> word && word.rfind("0x", 0) == 0)
			children.push_back(std::stoul(word, nullptr, 16));
	}
	return children;
}

static GdkWindow *foreign_window(WindowId id)
{
#if GTK_CHECK_VERSION(3, 0, 0)
	return gdk_x11_window_foreign_new_for_display(gdk_display_get_default(), id);
#else
	return gdk_window_foreign_new(id);
#endif
}

static GdkPixbuf *window_picture(GdkWindow *window, int width, int height)
{
#if GTK_CHECK_VERSION(3, 0, 0)
	return gdk_pixbuf_get_from_window(window, 0, 0, width, height);
#else
	GdkColormap *colors = gdk_screen_get_system_colormap(gdk_screen_get_default());
	return gdk_pixbuf_get_from_drawable(nullptr, window, colors, 0, 0, 0, 0, width, height);
#endif
}

std::optional<std::string> window_pixels(WindowId id)
{
	// Another client's window may go at any moment: its errors are
	// caught here instead of ending this process.
	XErrorTrap trap;
	std::optional<std::string> pixels;
	if (GObjectPtr<GdkWindow> window{foreign_window(id)}) {
		int width = gdk_window_get_width(window.get());
		int height = gdk_window_get_height(window.get());
		GObjectPtr<GdkPixbuf> image{window_picture(window.get(), width, height)};
		if (image) {
			int stride = gdk_pixbuf_get_rowstride(image.get());
			int row = width * gdk_pixbuf_get_n_channels(image.get());
			const char *bytes =
			        reinterpret_cast<const char *>(gdk_pixbuf_get_pixels(image.get()));
			pixels = std::string(bytes, std::size_t(stride) * (height - 1) + row);
		}
	}
	if (trap.caught())
		return std::nullopt;
	return pixels;
}

std::optional<WindowId> transient_for(WindowId id)
{
	std::string t = must_run({"xprop", "-id", hex(id), "WM_TRANSIENT_FOR"});
	std::string word = word_after(t, "window id # ");
	if (word.empty())
		return std::nullopt;
	return std::stoul(word, nullptr, 16);
}

std::string window_type(WindowId id)
{
	std::string t = must_run({"xprop", "-id", hex(id), "_NET_WM_WINDOW_TYPE"});
	std::string word = word_after(t, "= ");
	if (!word.empty() && word.back() == ',')
		word.pop_back();
	return word;
}

void focus_window(WindowId id)
{
	std::string w = std::to_string(id);
	must_run({"xdotool", "windowraise", w, "windowfocus", "--sync", w});
}

WindowId focused_window()
{
	return std::stoul(must_run({"xdotool", "getwindowfocus", "-f"}));
}

void press_keys(const std::vector<std::string> &keys)
{
	std::vector<std::string> argv = {"xdotool", "key", "--delay", "40"};
	argv.insert(argv.end(), keys.begin(), keys.end());
	must_run(argv);
}

void type_text(const std::string &text)
{
	must_run({"xdotool", "type", "--delay", "40", text});
}

void click_at(int x, int y)
{
	// Without --sync, which waits for ever when the pointer is there
	// already; the server handles the move before the click all the same.
	must_run({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"});
}

static std::optional<fs::path> screenshot_file(const std::string &name)
{
	const char *dir = std::getenv("TROVIK_SCREENSHOTS");
	if (!dir || !*dir)
		return std::nullopt;
	fs::create_directories(dir);
	return fs::path(dir) / (name + ".png");
}

// ImageMagick by its full path: another "convert" may come first in PATH.
static const char *const import_tool = "/usr/bin/import";

void screenshot(const std::string &name, WindowId id)
{
	if (std::optional<fs::path> file = screenshot_file(name))
		must_run({import_tool, "-window", hex(id), "-strip", file->string()});
}

void screenshot(const std::string &name, const Rect &area)
{
	if (std::optional<fs::path> file = screenshot_file(name)) {
		std::string crop = std::to_string(area.width) + "x" + std::to_string(area.height) +
		                   "+" + std::to_string(area.x) + "+" + std::to_string(area.y);
		must_run({import_tool, "-window", "root", "-crop", crop, "+repage", "-strip",
		          file->string()});
	}
}
