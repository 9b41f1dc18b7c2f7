#include "launcher/resolution_view.h"

#include "base/combo_box.h"
#include "launcher/mode_text.h"

// Only the closed selector's own view is told the mode: the popup's rows
// stand under headings that say it already.
static void show_mode(GtkCellLayout *layout, GtkCellRenderer *cell, GtkTreeModel *model,
                      GtkTreeIter *iter, gpointer combo)
{
	if (!is_closed_view(layout, GTK_WIDGET(combo)))
		return;
	GtkTreePath *path = gtk_tree_model_get_path(model, iter);
	int position = gtk_tree_path_get_indices(path)[0];
	gtk_tree_path_free(path);
	std::string shown = closed_resolution_text(position, row_text(model, iter));
	g_object_set(cell, "text", shown.c_str(), nullptr);
}

void show_mode_when_closed(GtkWidget *resolution)
{
	GtkCellLayout *layout = GTK_CELL_LAYOUT(resolution);
	GList *cells = gtk_cell_layout_get_cells(layout);
	for (GList *l = cells; l; l = l->next)
		if (GTK_IS_CELL_RENDERER_TEXT(l->data))
			gtk_cell_layout_set_cell_data_func(layout, GTK_CELL_RENDERER(l->data),
			                                   show_mode, resolution, nullptr);
	g_list_free(cells);
}
