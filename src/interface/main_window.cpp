#include "interface/main_window.h"

#include <gdk/gdkx.h>

#include <iterator>

// The main window while it lives.
static struct {
	ZelkWidgetRegistry widgets;
	InterfaceTreePtr gui_glade_xml; // "main"
	// Gets the keyboard back when the sub-window it opened closes; cleared
	// if it goes first.
	GtkWidget *opener;
} main_window;

const ZelkWidgetRegistry &ZelkWidget = main_window.widgets;

// A widget of the main window and the registry field it goes into.
struct MainWidget {
	WantedWidget wanted;
	GtkWidget *ZelkWidgetRegistry::*field;
};

// In the order a file is checked for them.
static const MainWidget main_widgets[] = {
        {{"main", gtk_window_get_type, true}, &ZelkWidgetRegistry::main},
        {{"langue", gtk_combo_box_get_type, true}, &ZelkWidgetRegistry::langue},
        {{"resolution", gtk_combo_box_get_type, true}, &ZelkWidgetRegistry::resolution},
        {{"joueur", gtk_combo_box_get_type, true}, &ZelkWidgetRegistry::joueur},
        {{"nbretoiles", gtk_label_get_type, true}, &ZelkWidgetRegistry::nbretoiles},
        {{"checkbutton4", gtk_check_button_get_type, true}, &ZelkWidgetRegistry::checkbutton4},
        {{"checkbutton3", gtk_check_button_get_type, true}, &ZelkWidgetRegistry::checkbutton3},
        {{"vbox1", gtk_box_get_type, true}, &ZelkWidgetRegistry::vbox1},
        // Greyed out without a player: any widget can be.
        {{"bouton_jouer", gtk_widget_get_type, false}, &ZelkWidgetRegistry::jouer},
        {{"aide_joueur", gtk_label_get_type, false}, &ZelkWidgetRegistry::aide_joueur},
};

static std::vector<WantedWidget> wanted_of_main()
{
	std::vector<WantedWidget> wanted;
	for (const MainWidget &widget : main_widgets)
		wanted.push_back(widget.wanted);
	return wanted;
}

const std::vector<WantedWidget> main_window_widgets = wanted_of_main();

// Runs once the main window and everything in it are destroyed.
static void forget_main_window(gpointer, GObject *)
{
	main_window.widgets = {};
	main_window.gui_glade_xml.reset();
}

// The window's own field is cleared at once, so that a sub-window closing
// meanwhile leaves it be.
static void main_window_destroyed(GtkWidget *, gpointer)
{
	main_window.widgets.main = nullptr;
}

void main_window_load()
{
	main_window.gui_glade_xml = zelk_tree_load(main_widgets[0].wanted.id);
	const InterfaceTree &tree = *main_window.gui_glade_xml;
	ZelkWidgetRegistry &registry = main_window.widgets;
	for (const MainWidget &widget : main_widgets) {
		GtkWidget **field = &(registry.*widget.field);
		if (widget.wanted.required)
			zelk_widget_load(tree, widget.wanted.id, field);
		else
			*field = zelk_optional_widget(tree, widget.wanted);
	}
	g_signal_connect(registry.main, "destroy", G_CALLBACK(main_window_destroyed), nullptr);
	g_object_weak_ref(G_OBJECT(registry.main), forget_main_window, nullptr);
}

void main_window_set_banner(GtkWidget *area)
{
	main_window.widgets.gl_area = area;
}

static void remember_opener(GtkWidget *opener)
{
	GtkWidget **kept = &main_window.opener;
	if (*kept)
		g_object_remove_weak_pointer(G_OBJECT(*kept), reinterpret_cast<gpointer *>(kept));
	*kept = opener;
	if (*kept)
		g_object_add_weak_pointer(G_OBJECT(*kept), reinterpret_cast<gpointer *>(kept));
}

// The main window forgets its keyboard focus once it is greyed out, and
// Return would then press its default button, "Jouer", the moment the
// sub-window is gone.
void grey_out_main(GtkWidget *opener)
{
	GtkWidget *main = ZelkWidget.main;
	if (!main)
		return;
	bool in_main = GTK_IS_WIDGET(opener) && gtk_widget_get_toplevel(opener) == main &&
	               gtk_widget_get_can_focus(opener);
	remember_opener(in_main ? opener : gtk_window_get_focus(GTK_WINDOW(main)));
	gtk_widget_set_sensitive(main, FALSE);
}

void set_main_sensitive(bool sensitive)
{
	if (ZelkWidget.main)
		gtk_widget_set_sensitive(ZelkWidget.main, sensitive);
}

void open_over_main(GtkWidget *window)
{
	gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(ZelkWidget.main));
	gtk_window_present(GTK_WINDOW(window));
}

// A window manager gives the keyboard back to a closed dialog's parent; on
// a display without one nobody would, and the launcher's keys would go
// nowhere. Asking for it is harmless where the manager does it anyway. The
// request carries the time now: the last key the launcher saw may be older
// than whatever gave the sub-window the keyboard, and the X server ignores
// a focus request older than the focus it has.
void back_to_main()
{
	set_main_sensitive(true);
	GtkWidget *main = ZelkWidget.main;
	if (!main || !gtk_widget_get_realized(main))
		return;
	guint32 now = gdk_x11_get_server_time(gtk_widget_get_window(main));
	gtk_window_present_with_time(GTK_WINDOW(main), now);
	if (main_window.opener)
		gtk_widget_grab_focus(main_window.opener);
	remember_opener(nullptr);
}
