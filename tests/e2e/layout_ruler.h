// Where the launcher's widgets are inside its windows. The X server cannot
// say: the toolkit draws buttons and combo boxes inside the window without X
// windows of their own. So the launcher's own start-up code builds its
// windows once in this process, from the same working directory (interface
// file, profiles) and the same theme, and the toolkit tells where it put
// each widget. The real windows are then checked to have the same size
// before any position is used in them.
#pragma once

#include "x_desktop.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct WindowLayout {
	Rect size;                           // width and height of the window
	std::map<std::string, Rect> widgets; // by interface id, relative to the window

	const Rect &operator[](const std::string &id) const;
};

// The list a combo box pops up, a menu or a scrolling list: its window and
// its items, in model order, relative to that window.
struct PopupLayout {
	Rect size;
	std::vector<Rect> items;
};

struct LauncherLayout {
	WindowLayout main;
	Rect banner;         // the drawing area at the top of the main window
	WindowLayout add;    // "Nouveau joueur"
	WindowLayout remove; // "Supprimer un joueur", for the player selected at start-up
	std::map<std::string, PopupLayout> popups; // by combo box id

	const PopupLayout &popup(const std::string &combo) const;
};

// Builds, measures and destroys the launcher's windows in this process;
// `gamedir` is left as it was found.
LauncherLayout measure_launcher(const std::filesystem::path &gamedir);
