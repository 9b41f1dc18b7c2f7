#include "banner/gl_area.h"
#include "base/platform.h"
#include "shell/interface.h"

#include <gtk/gtk.h>
#include <pango/pangocairo.h>

int main(int argc, char *argv[])
{
	detach_console();
	// The banner draws through GLX on its own X window: on a Wayland
	// desktop the launcher runs through XWayland.
#if GTK_CHECK_VERSION(3, 0, 0)
	gdk_set_allowed_backends("x11");
#endif
	// The font map reads the font configuration on a thread of its own;
	// started first, that work overlaps the toolkit's start and the
	// loading of the interface instead of holding up its first label.
	pango_cairo_font_map_get_default();
	gtk_init(&argc, &argv);
	// Without GL on the display the banner stays empty; the launcher
	// works all the same.
	gl_toolkit_init(&argc, &argv);
	zelk_gui_load();
	gtk_main();
	return 0;
}
