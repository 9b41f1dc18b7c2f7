// The icon taskbars and window switchers show for every window of the
// launcher.
#pragma once

// From the game directory's file, which the install and the build put
// there, or else from the icon theme; without either the desktop shows its
// own picture, which is no reason to stop.
void set_window_icon();
