#include "banner/gl_area.h"
#include "base/platform.h"
#include "shell/interface.h"

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
