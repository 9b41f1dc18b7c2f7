// The launcher's start, in the order in which it is cheapest and safest:
// - the font configuration is read on a thread of its own from the first
//   moment, so that the reading overlaps everything below;
// - GDK is kept to X11 before the toolkit starts, since the banner draws
//   through GLX on its own X window; then the toolkit, then its GL, which
//   may be missing: the launcher works without it;
// - zelk_gui_load (launcher/startup.cpp) reads the interface file once and
//   checks it for the widgets of all three windows before building any, so
//   that a file without one ends the launcher now rather than on the click
//   that opens a sub-window; builds the main window hidden; gives the
//   player selector its style and size before its rows go in, so that it
//   lists them rather than making a menu of them, and measures them once;
//   starts counting the first player's records, which runs beside the
//   banner's GL set-up, the longest step; follows profils/ and finishes
//   deletes cut short behind the window; and shows the window last,
//   complete, so that it appears once at its final size;
// - the main loop runs the handlers until one ends the launcher.
#include "banner/gl_area.h"
#include "base/platform.h"
#include "launcher/startup.h"

#include <gtk/gtk.h>
#include <pango/pangocairo.h>

int main(int argc, char *argv[])
{
	detach_console();
	// The font map reads the font configuration on a thread of its own;
	// started first, that work overlaps the toolkit's start and the
	// loading of the interface instead of holding up its first label.
	pango_cairo_font_map_get_default();
	gl_keep_to_x11();
	gtk_init(&argc, &argv);
	// Without GL on the display the banner stays empty; the launcher
	// works all the same.
	gl_toolkit_init(&argc, &argv);
	zelk_gui_load();
	gtk_main();
	return 0;
}
