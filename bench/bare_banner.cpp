// The yardstick for the launcher's start-up: the launcher's own banner (the
// same texture, mosaic and pacing) at the top of an otherwise empty window
// of WIDTH by HEIGHT, the launcher's size. Started where the texture is.
#include "banner/banner.h"
#include "banner/gl_area.h"

#include <gtk/gtk.h>

#include <cstdlib>

int main(int argc, char *argv[])
{
	gl_keep_to_x11();
	gtk_init(&argc, &argv);
	gl_toolkit_init(&argc, &argv);
	int width = argc > 1 ? std::atoi(argv[1]) : 300;
	int height = argc > 2 ? std::atoi(argv[2]) : 170;

	GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
	g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
	// The one spelling of a vertical box both toolkits know.
	G_GNUC_BEGIN_IGNORE_DEPRECATIONS
	GtkWidget *box = gtk_vbox_new(FALSE, 0);
	G_GNUC_END_IGNORE_DEPRECATIONS
	gtk_container_add(GTK_CONTAINER(window), box);
	// Blank, and without text: no fonts to load.
	GtkWidget *rest = gtk_fixed_new();
	gtk_widget_set_size_request(rest, width, height > 170 ? height - 170 : 0);
	gtk_box_pack_start(GTK_BOX(box), rest, FALSE, FALSE, 0);
	banner::add_to_top(box);
	gtk_widget_show_all(window);
	gtk_main();
	return 0;
}
