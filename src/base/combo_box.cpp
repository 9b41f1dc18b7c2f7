#include "base/combo_box.h"

#include "base/glib_ptr.h"

std::string row_text(GtkTreeModel *model, GtkTreeIter *iter)
{
	gchar *raw = nullptr;
	gtk_tree_model_get(model, iter, 0, &raw, -1);
	GCharPtr text(raw);
	return text ? text.get() : "";
}

std::optional<std::string> combo_active_text(GtkWidget *combo)
{
	GtkTreeIter iter;
	if (!gtk_combo_box_get_active_iter(GTK_COMBO_BOX(combo), &iter))
		return std::nullopt;
	return row_text(gtk_combo_box_get_model(GTK_COMBO_BOX(combo)), &iter);
}

bool is_closed_view(GtkCellLayout *layout, GtkWidget *combo)
{
	// GTK 3 hands every view of a combo box the combo box itself: the
	// closed one is at work while nothing is popped up (the player
	// selector's own list has a column of its own).
#if GTK_CHECK_VERSION(3, 0, 0)
	(void)layout;
	gboolean popped_up = FALSE;
	g_object_get(combo, "popup-shown", &popped_up, nullptr);
	return !popped_up;
#else
	return static_cast<gpointer>(layout) == gtk_bin_get_child(GTK_BIN(combo));
#endif
}

static GtkWidget *find_below(GtkWidget *widget, const std::function<bool(GtkWidget *)> &match)
{
	if (match(widget))
		return widget;
	if (!GTK_IS_CONTAINER(widget))
		return nullptr;
	GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
	GtkWidget *found = nullptr;
	for (GList *l = children; l && !found; l = l->next)
		found = find_below(GTK_WIDGET(l->data), match);
	g_list_free(children);
	return found;
}

GtkWidget *find_in_popups(const std::function<bool(GtkWidget *)> &match)
{
	GList *windows = gtk_window_list_toplevels();
	GtkWidget *found = nullptr;
	for (GList *l = windows; l && !found; l = l->next)
		if (gtk_window_get_window_type(GTK_WINDOW(l->data)) == GTK_WINDOW_POPUP)
			found = find_below(GTK_WIDGET(l->data), match);
	g_list_free(windows);
	return found;
}
