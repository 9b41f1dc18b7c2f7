#include "profiles/player_popup.h"

#include "base/combo_box.h"
#include "base/displayable.h"
#include "base/glib_ptr.h"

#include <algorithm>
#include <memory>

// The list shows at most this many rows and scrolls through the others.
static const int most_rows_shown = 16;

struct GdkEventFree {
	void operator()(GdkEvent *event) const { gdk_event_free(event); }
};

// What the list keeps while its selector lives.
static struct {
	GtkWidget *combo;             // the selector; null while there is none
	GtkWidget *arrow;             // its button, pressed in while the list is up
	GObjectPtr<GtkGesture> click; // takes the selector's clicks before its button
	GtkWidget *window;            // the pop-up window, made at the first opening
	GtkWidget *view;              // the rows, in it
	GdkSeat *held;                // the seat held while the list is up, else null
	bool has_keyboard;            // the list has had the keyboard since it opened
} popup;

// What the selector is made of, its inner widgets included. Its button,
// which lies inside a box of its own, is noted. Its closed view shows one
// row, of the fixed size of its cell (selector.cpp), but GTK 3 would
// measure every row of the model for the widest, several times over before
// the window shows: most of start-up with thousands of players.
static void note_parts(GtkWidget *widget, gpointer)
{
	if (GTK_IS_TOGGLE_BUTTON(widget))
		popup.arrow = widget;
	if (GTK_IS_CELL_VIEW(widget))
		gtk_cell_view_set_fit_model(GTK_CELL_VIEW(widget), FALSE);
	if (GTK_IS_CONTAINER(widget))
		gtk_container_forall(GTK_CONTAINER(widget), note_parts, nullptr);
}

// Told to look like a list, GTK 3 makes one hidden view of the rows, where
// as a menu it makes an item for each of them up front: seconds with
// thousands of players. It looks at the style when the style changes,
// which for a window not shown yet comes after the rows go in: now.
static void keep_toolkit_from_making_a_menu(GtkWidget *combo)
{
	GObjectPtr<GtkCssProvider> css(gtk_css_provider_new());
	gtk_css_provider_load_from_data(css.get(), "* { -GtkComboBox-appears-as-list: true; }", -1,
	                                nullptr);
	gtk_style_context_add_provider(gtk_widget_get_style_context(combo),
	                               GTK_STYLE_PROVIDER(css.get()),
	                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
	g_signal_emit_by_name(combo, "style-updated");
}

static bool is_up()
{
	return popup.window && gtk_widget_get_visible(popup.window);
}

static void let_seat_go()
{
	gtk_grab_remove(popup.window);
	if (popup.held)
		gdk_seat_ungrab(popup.held);
	popup.held = nullptr;
	if (popup.arrow)
		gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(popup.arrow), FALSE);
}

// The seat let go first: a window hidden while it holds the seat is told
// later that it lost it, maybe after it opened again.
static void close_list()
{
	if (!is_up())
		return;
	let_seat_go();
	gtk_widget_hide(popup.window);
}

static void choose(GtkTreePath *path)
{
	int row = gtk_tree_path_get_indices(path)[0];
	close_list();
	gtk_combo_box_set_active(GTK_COMBO_BOX(popup.combo), row);
}

static void choose_cursor_row()
{
	GtkTreePath *path = nullptr;
	gtk_tree_view_get_cursor(GTK_TREE_VIEW(popup.view), &path, nullptr);
	if (!path) {
		close_list();
		return;
	}
	choose(path);
	gtk_tree_path_free(path);
}

static void show_name(GtkTreeViewColumn *, GtkCellRenderer *cell, GtkTreeModel *model,
                      GtkTreeIter *iter, gpointer)
{
	g_object_set(cell, "text", displayable(row_text(model, iter)).c_str(), nullptr);
}

// Rows of one height, one line each: the view measures the first row and
// lays out only those it shows, however many there are.
static GtkWidget *rows_view()
{
	GtkWidget *view = gtk_tree_view_new();
	GtkTreeView *tree = GTK_TREE_VIEW(view);
	gtk_tree_view_set_headers_visible(tree, FALSE);
	gtk_tree_view_set_enable_search(tree, FALSE);
	gtk_tree_view_set_hover_selection(tree, TRUE);
	GtkCellRenderer *cell = gtk_cell_renderer_text_new();
	g_object_set(cell, "ellipsize", PANGO_ELLIPSIZE_MIDDLE, nullptr);
	GtkTreeViewColumn *column = gtk_tree_view_column_new();
	gtk_tree_view_column_pack_start(column, cell, TRUE);
	gtk_tree_view_column_set_cell_data_func(column, cell, show_name, nullptr, nullptr);
	gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
	gtk_tree_view_column_set_fixed_width(column, 1); // the list is as wide as the selector
	gtk_tree_view_column_set_expand(column, TRUE);
	gtk_tree_view_append_column(tree, column);
	gtk_tree_view_set_fixed_height_mode(tree, TRUE);
	return view;
}

static bool inside_window(double x_root, double y_root)
{
	int x = 0, y = 0;
	gdk_window_get_origin(gtk_widget_get_window(popup.window), &x, &y);
	GtkAllocation size;
	gtk_widget_get_allocation(popup.window, &size);
	return x_root >= x && x_root < x + size.width && y_root >= y && y_root < y + size.height;
}

// The height of a row as the view lays one out: its cell, given the first
// row, and the room the view leaves between rows.
static int row_height()
{
	GtkTreeView *view = GTK_TREE_VIEW(popup.view);
	GtkTreeViewColumn *column = gtk_tree_view_get_column(view, 0);
	GtkTreeModel *model = gtk_tree_view_get_model(view);
	GtkTreeIter first;
	if (!gtk_tree_model_get_iter_first(model, &first))
		return 0;
	gtk_tree_view_column_cell_set_cell_data(column, model, &first, FALSE, FALSE);
	int cell = 0, separator = 0;
	gtk_tree_view_column_cell_get_size(column, nullptr, nullptr, nullptr, nullptr, &cell);
	gtk_widget_style_get(popup.view, "vertical-separator", &separator, nullptr);
	return cell + separator;
}

// The height of `rows` rows with the frame around them.
static int height_of_rows(GtkWidget *scrolled, int rows)
{
	gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
	                               GTK_POLICY_NEVER);
	int view = 0, framed = 0;
	gtk_widget_get_preferred_height(popup.view, &view, nullptr);
	gtk_widget_get_preferred_height(scrolled, &framed, nullptr);
	gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
	                               GTK_POLICY_AUTOMATIC);
	return framed - view + row_height() * rows;
}

// Below the selector where the rows fit, else above it; else on the side
// with more room, cut to that room. As wide as the selector, and on the
// screen.
static GdkRectangle place_under_selector(int height)
{
	GtkAllocation combo;
	gtk_widget_get_allocation(popup.combo, &combo);
	int x = 0, y = 0;
	gdk_window_get_root_coords(gtk_widget_get_window(popup.combo), combo.x, combo.y, &x, &y);
	GdkRectangle area;
	gdk_monitor_get_workarea(
	        gdk_display_get_monitor_at_window(gtk_widget_get_display(popup.combo),
	                                          gtk_widget_get_window(popup.combo)),
	        &area);
	GdkRectangle place = {x, y + combo.height, combo.width, height};
	place.x = std::max(area.x, std::min(x, area.x + area.width - combo.width));
	int below = area.y + area.height - (y + combo.height), above = y - area.y;
	if (height > below && height <= above)
		place.y = y - height;
	else if (height > below && above > below)
		place = {place.x, area.y, combo.width, above};
	else if (height > below)
		place.height = below;
	return place;
}

static void size_and_place()
{
	GtkWidget *scrolled = gtk_bin_get_child(GTK_BIN(popup.window));
	int rows = gtk_tree_model_iter_n_children(
	        gtk_combo_box_get_model(GTK_COMBO_BOX(popup.combo)), nullptr);
	GdkRectangle place =
	        place_under_selector(height_of_rows(scrolled, std::min(rows, most_rows_shown)));
	gtk_widget_set_size_request(popup.window, place.width, place.height);
	gtk_window_move(GTK_WINDOW(popup.window), place.x, place.y);
}

// The active player selected and in sight, in the middle of the list where
// it can be, below whole rows.
static void show_active_row()
{
	GtkTreeView *view = GTK_TREE_VIEW(popup.view);
	int active = gtk_combo_box_get_active(GTK_COMBO_BOX(popup.combo));
	GtkTreePath *path = gtk_tree_path_new_from_indices(std::max(active, 0), -1);
	gtk_tree_view_set_cursor(view, path, nullptr, FALSE);
	gtk_tree_path_free(path);
	if (active < 0)
		gtk_tree_selection_unselect_all(gtk_tree_view_get_selection(view));
	GtkTreePath *top =
	        gtk_tree_path_new_from_indices(std::max(0, active - most_rows_shown / 2), -1);
	gtk_tree_view_scroll_to_cell(view, top, nullptr, TRUE, 0.0, 0.0);
	gtk_tree_path_free(top);
}

// The pointer and the keyboard go to the list while it is up, as with the
// toolkit's own lists: a click anywhere else closes it.
static bool hold_seat()
{
	std::unique_ptr<GdkEvent, GdkEventFree> trigger(gtk_get_current_event());
	GdkSeat *seat = gdk_display_get_default_seat(gtk_widget_get_display(popup.window));
	if (gdk_seat_grab(seat, gtk_widget_get_window(popup.window), GDK_SEAT_CAPABILITY_ALL, TRUE,
	                  nullptr, trigger.get(), nullptr, nullptr) != GDK_GRAB_SUCCESS)
		return false;
	popup.held = seat;
	gtk_grab_add(popup.window);
	return true;
}

static gboolean key_pressed(GtkWidget *, GdkEventKey *event, gpointer)
{
	switch (event->keyval) {
	case GDK_KEY_Escape:
		close_list();
		return TRUE;
	case GDK_KEY_Up:
	case GDK_KEY_KP_Up:
		if (!(event->state & GDK_MOD1_MASK))
			return FALSE;
		close_list();
		return TRUE;
	case GDK_KEY_Return:
	case GDK_KEY_ISO_Enter:
	case GDK_KEY_KP_Enter:
	case GDK_KEY_space:
	case GDK_KEY_KP_Space:
		choose_cursor_row();
		return TRUE;
	default:
		return FALSE;
	}
}

// A press the rows did not take: on the frame or the scroll bar it is the
// list's, anywhere else it closes the list.
static gboolean pressed_elsewhere(GtkWidget *, GdkEventButton *event, gpointer)
{
	if (inside_window(event->x_root, event->y_root))
		return FALSE;
	close_list();
	return TRUE;
}

// A row is chosen where the button comes up, also after a press on the
// selector dragged into the list.
static gboolean released_on_row(GtkWidget *, GdkEventButton *event, gpointer)
{
	GtkTreeView *view = GTK_TREE_VIEW(popup.view);
	GtkTreePath *path = nullptr;
	if (event->button != GDK_BUTTON_PRIMARY ||
	    event->window != gtk_tree_view_get_bin_window(view) ||
	    !gtk_tree_view_get_path_at_pos(view, int(event->x), int(event->y), &path, nullptr,
	                                   nullptr, nullptr))
		return FALSE;
	choose(path);
	gtk_tree_path_free(path);
	return TRUE;
}

static gboolean keyboard_given(GtkWidget *, GdkEvent *, gpointer)
{
	popup.has_keyboard = true;
	return FALSE;
}

// The keyboard gone elsewhere. The list losing it at its previous closing
// may be told after it opened again, but before it has it again.
static gboolean keyboard_taken(GtkWidget *, GdkEvent *, gpointer)
{
	if (popup.has_keyboard)
		close_list();
	return FALSE;
}

// Another of the launcher's windows took the pointer or the keyboard; none
// is named where the grab ended with the list hidden.
static gboolean seat_taken(GtkWidget *window, GdkEventGrabBroken *event, gpointer)
{
	if (event->grab_window && event->grab_window != gtk_widget_get_window(window))
		close_list();
	return FALSE;
}

// Hidden by anyone else, the list lets the seat go all the same.
static void list_hidden(GtkWidget *, gpointer)
{
	let_seat_go();
}

static void build_window()
{
	popup.window = gtk_window_new(GTK_WINDOW_POPUP);
	gtk_window_set_type_hint(GTK_WINDOW(popup.window), GDK_WINDOW_TYPE_HINT_COMBO);
	GtkWidget *scrolled = gtk_scrolled_window_new(nullptr, nullptr);
	gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
	popup.view = rows_view();
	gtk_container_add(GTK_CONTAINER(scrolled), popup.view);
	gtk_container_add(GTK_CONTAINER(popup.window), scrolled);
	gtk_widget_show_all(scrolled);
	g_signal_connect(popup.window, "key-press-event", G_CALLBACK(key_pressed), nullptr);
	g_signal_connect(popup.window, "button-press-event", G_CALLBACK(pressed_elsewhere),
	                 nullptr);
	g_signal_connect(popup.view, "button-release-event", G_CALLBACK(released_on_row), nullptr);
	g_signal_connect(popup.window, "grab-broken-event", G_CALLBACK(seat_taken), nullptr);
	g_signal_connect(popup.window, "focus-in-event", G_CALLBACK(keyboard_given), nullptr);
	g_signal_connect(popup.window, "focus-out-event", G_CALLBACK(keyboard_taken), nullptr);
	g_signal_connect(popup.window, "hide", G_CALLBACK(list_hidden), nullptr);
}

// Over the selector's window, in its group, so that the toolkit hands the
// list the events of the launcher's other windows while it is up.
static void attach_to_selector()
{
	GtkWindow *top = GTK_WINDOW(gtk_widget_get_toplevel(popup.combo));
	GtkWindow *window = GTK_WINDOW(popup.window);
	gtk_window_set_screen(window, gtk_widget_get_screen(popup.combo));
	gtk_window_set_transient_for(window, top);
	gtk_window_set_attached_to(window, popup.combo);
	gtk_window_group_add_window(gtk_window_get_group(top), window);
}

static void open_list()
{
	GtkTreeModel *model = gtk_combo_box_get_model(GTK_COMBO_BOX(popup.combo));
	if (is_up() || !model || gtk_tree_model_iter_n_children(model, nullptr) == 0 ||
	    !gtk_widget_get_mapped(popup.combo))
		return;
	if (!popup.window)
		build_window();
	attach_to_selector();
	if (gtk_tree_view_get_model(GTK_TREE_VIEW(popup.view)) != model)
		gtk_tree_view_set_model(GTK_TREE_VIEW(popup.view), model);
	size_and_place();
	show_active_row();
	popup.has_keyboard = false;
	gtk_widget_show(popup.window);
	gtk_widget_grab_focus(popup.view);
	if (!hold_seat()) {
		close_list();
		return;
	}
	if (popup.arrow)
		gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(popup.arrow), TRUE);
}

// The toolkit's own list is asked for by gtk_combo_box_popup(), by the
// keyboard's bindings and by the selector's button when pressed from the
// keyboard.
static void list_asked_for(GtkComboBox *combo, gpointer)
{
	g_signal_stop_emission_by_name(combo, "popup");
	open_list();
}

// A click on the selector opens the toolkit's list without asking: it is
// taken on its way to the selector's button.
static void selector_pressed(GtkGestureMultiPress *gesture, int, double, double, gpointer)
{
	gtk_gesture_set_state(GTK_GESTURE(gesture), GTK_EVENT_SEQUENCE_CLAIMED);
	if (gtk_widget_get_focus_on_click(popup.combo))
		gtk_widget_grab_focus(popup.combo);
	open_list();
}

// The rows shown are the selector's: when it is given others, or goes out
// of sight, the list goes.
static void selector_changed_rows(GObject *, GParamSpec *, gpointer)
{
	close_list();
}

static void selector_hidden(GtkWidget *, gpointer)
{
	close_list();
}

static void selector_gone(GtkWidget *, gpointer)
{
	popup.arrow = nullptr;
	if (popup.window)
		gtk_widget_destroy(popup.window);
	popup = {};
}

void drop_down_own_list(GtkWidget *combo)
{
	keep_toolkit_from_making_a_menu(combo);
	popup.combo = combo;
	gtk_container_forall(GTK_CONTAINER(combo), note_parts, nullptr);
	g_signal_connect(combo, "popup", G_CALLBACK(list_asked_for), nullptr);
	popup.click.reset(gtk_gesture_multi_press_new(combo));
	gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(popup.click.get()), GDK_BUTTON_PRIMARY);
	gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(popup.click.get()),
	                                           GTK_PHASE_CAPTURE);
	g_signal_connect(popup.click.get(), "pressed", G_CALLBACK(selector_pressed), nullptr);
	g_signal_connect(combo, "notify::model", G_CALLBACK(selector_changed_rows), nullptr);
	g_signal_connect(combo, "unmap", G_CALLBACK(selector_hidden), nullptr);
	g_signal_connect(combo, "destroy", G_CALLBACK(selector_gone), nullptr);
}
