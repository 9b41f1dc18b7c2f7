#include "layout_ruler.h"

#include "gui.h"
#include "base/toolkit_compat.h"
#include "base/combo_box.h"
#include "interface/main_window.h"
#include "launcher/startup.h"

#include <gtk/gtk.h>

#include <stdexcept>

namespace fs = std::filesystem;

const Rect &WindowLayout::operator[](const std::string &id) const
{
	auto it = widgets.find(id);
	if (it == widgets.end())
		throw std::runtime_error("no widget " + id + " in the measured window");
	return it->second;
}

const PopupLayout &LauncherLayout::popup(const std::string &combo) const
{
	auto it = popups.find(combo);
	if (it == popups.end())
		throw std::runtime_error("no list measured for " + combo);
	return it->second;
}

static void pump_or_throw(const std::function<bool()> &done, const char *what)
{
	if (!pump_until(done, std::chrono::seconds(5)))
		throw std::runtime_error(std::string("the toolkit did not ") + what);
}

static Rect place(GtkWidget *widget)
{
	GtkWidget *top = gtk_widget_get_toplevel(widget);
	int x = 0, y = 0;
	if (!gtk_widget_translate_coordinates(widget, top, 0, 0, &x, &y))
		throw std::runtime_error(std::string("cannot place a ") +
		                         G_OBJECT_TYPE_NAME(widget));
	GtkAllocation a;
	gtk_widget_get_allocation(widget, &a);
	return {x, y, a.width, a.height};
}

static WindowLayout measure_window(const InterfaceTree &tree, GtkWidget *window)
{
	pump_or_throw([&] { return gtk_widget_get_mapped(window); }, "show a window");
	// The toolkit lays a window out again some time after its contents
	// change (the banner, a label's text); doing it now gives the places
	// it settles on. None of these windows can be resized: they take the
	// size their contents ask for.
	GtkRequisition wanted = wanted_size(window);
	GtkAllocation settled = {0, 0, wanted.width, wanted.height};
	gtk_widget_size_allocate(window, &settled);

	WindowLayout layout;
	GtkAllocation size;
	gtk_widget_get_allocation(window, &size);
	layout.size = {0, 0, size.width, size.height};
	for (const auto &[id, w] : tree.widgets())
		if (gtk_widget_get_mapped(w))
			layout.widgets[id] = place(w);
	return layout;
}

// A combo box pops up a menu, or in list style a pop-up window holding a
// tree view: whichever is on the screen, the widget that shows the rows.
static GtkWidget *popped_up_rows()
{
	return find_in_popups([](GtkWidget *w) {
		return (GTK_IS_TREE_VIEW(w) || GTK_IS_MENU(w)) &&
		       gtk_widget_get_mapped(gtk_widget_get_toplevel(w));
	});
}

static std::vector<Rect> menu_items(GtkWidget *menu)
{
	std::vector<Rect> items;
	GList *children = gtk_container_get_children(GTK_CONTAINER(menu));
	for (GList *l = children; l; l = l->next)
		if (gtk_widget_get_visible(GTK_WIDGET(l->data)))
			items.push_back(place(GTK_WIDGET(l->data)));
	g_list_free(children);
	return items;
}

// Every row across the whole width of the view, where the view shows it.
static std::vector<Rect> tree_rows(GtkWidget *view)
{
	GtkTreeView *tree = GTK_TREE_VIEW(view);
	Rect origin = place(view);
	std::vector<Rect> rows;
	int n = gtk_tree_model_iter_n_children(gtk_tree_view_get_model(tree), nullptr);
	for (int i = 0; i < n; i++) {
		GtkTreePath *path = gtk_tree_path_new_from_indices(i, -1);
		GdkRectangle row;
		gtk_tree_view_get_background_area(tree, path, nullptr, &row);
		gtk_tree_path_free(path);
		int x = 0, y = 0;
		gtk_tree_view_convert_bin_window_to_widget_coords(tree, row.x, row.y, &x, &y);
		rows.push_back({origin.x, origin.y + y, origin.width, row.height});
	}
	return rows;
}

static PopupLayout measure_popup(GtkWidget *combo)
{
	gtk_combo_box_popup(GTK_COMBO_BOX(combo));
	GtkWidget *rows = nullptr;
	pump_or_throw([&] { return (rows = popped_up_rows()) != nullptr; }, "pop a list up");
	GtkWidget *top = gtk_widget_get_toplevel(rows);
	pump_or_throw([&] { return gtk_widget_is_drawable(rows); }, "show the rows");
	PopupLayout popup;
	GtkAllocation size;
	gtk_widget_get_allocation(top, &size);
	popup.size = {0, 0, size.width, size.height};
	popup.items = GTK_IS_MENU(rows) ? menu_items(rows) : tree_rows(rows);
	gtk_combo_box_popdown(GTK_COMBO_BOX(combo));
	// The player list of the GTK 3 build is the launcher's own, which the
	// toolkit's popdown does not know: hidden, it closes.
	gtk_widget_hide(top);
	pump_or_throw([&] { return !gtk_widget_get_mapped(top); }, "pop a list down");
	return popup;
}

// Opens a sub-window with the main window's button `opener`, as a click
// does, measures it and closes it.
static WindowLayout measure_sub_window(const char *opener, const char *id)
{
	gtk_button_clicked(GTK_BUTTON(open_window_widget("main", opener)));
	GtkWidget *window = open_window_widget(id, id);
	if (!window)
		throw std::runtime_error(std::string("no window ") + id);
	WindowLayout layout = measure_window(*InterfaceTree::of(window), window);
	gtk_widget_destroy(window);
	return layout;
}

// Leaves the process as the launcher's code found it, whatever happened.
class BuiltWindows {
public:
	explicit BuiltWindows(const fs::path &dir) : cd_(dir) {}
	~BuiltWindows()
	{
		for (GtkWidget *w : {open_window_widget("ajout", "ajout"),
		                     open_window_widget("suppression", "suppression")})
			if (w)
				gtk_widget_destroy(w);
		if (ZelkWidget.main) {
			// Its destruction would quit a main loop that is not running.
			g_signal_handlers_disconnect_by_func(ZelkWidget.main,
			                                     (gpointer)gtk_main_quit, nullptr);
			gtk_widget_destroy(ZelkWidget.main);
		}
		pump_events(50);
		gdk_display_sync(gdk_display_get_default());
	}
	BuiltWindows(const BuiltWindows &) = delete;
	BuiltWindows &operator=(const BuiltWindows &) = delete;

private:
	ScopedChdir cd_;
};

LauncherLayout measure_launcher(const fs::path &gamedir)
{
	if (!gdk_display_get_default())
		throw std::runtime_error("no X display");
	BuiltWindows built(gamedir);
	LauncherLayout layout;

	zelk_gui_load();
	layout.main = measure_window(*InterfaceTree::of(ZelkWidget.main), ZelkWidget.main);
	layout.banner = place(ZelkWidget.gl_area);
	if (layout.banner.width <= 1 || layout.banner.height <= 1)
		throw std::runtime_error("the banner was not laid out");
	for (const char *id : {"langue", "resolution", "joueur"}) {
		GtkWidget *combo = open_window_widget("main", id);
		GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
		if (gtk_tree_model_iter_n_children(model, nullptr) >
		    0) // an empty one pops nothing up
			layout.popups[id] = measure_popup(combo);
	}

	layout.add = measure_sub_window("bouton_ajout", "ajout");
	layout.remove = measure_sub_window("bouton_suppression", "suppression");
	return layout;
}
