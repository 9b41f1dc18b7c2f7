#include "shell/interface.h"
#include "shell/platform.h"

#include <gtk/gtk.h>
#include <gtk/gtkgl.h>

int main(int argc, char *argv[])
{
	detach_console();
	gtk_init(&argc, &argv);
	// Without GL on the display the banner stays empty; the launcher
	// works all the same.
	gtk_gl_init_check(&argc, &argv);
	zelk_gui_load();
	gtk_main();
	return 0;
}
