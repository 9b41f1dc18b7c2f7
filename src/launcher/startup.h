// Start-up: the main window built from the interface file, with the player
// selector and the banner in it.
#pragma once

// Builds the main window with everything that hangs off it and shows it; a
// missing interface file or widget ends the process with status 1.
void zelk_gui_load();
