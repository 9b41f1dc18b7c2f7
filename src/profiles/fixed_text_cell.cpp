#include "profiles/fixed_text_cell.h"

namespace {
struct FixedTextCell {
	GtkCellRendererText parent;
};
struct FixedTextCellClass {
	GtkCellRendererTextClass parent_class;
};
} // namespace

G_DEFINE_TYPE(FixedTextCell, fixed_text_cell, GTK_TYPE_CELL_RENDERER_TEXT)

// A combo box measures every row of its model at each size request. With
// the width and height fixed, the toolkit answers both itself and still
// calls the cell with nothing left to ask, and a text cell would then lay
// out and shape its text for no one: thousands of players, several times
// over before the window first shows. GTK 3 asks a cell of fixed size
// nothing at all.
#if GTK_CHECK_VERSION(3, 0, 0)
static void fixed_text_cell_class_init(FixedTextCellClass *)
{
}
#else
static void measure_only_when_asked(GtkCellRenderer *cell, GtkWidget *widget, GdkRectangle *area,
                                    gint *x_offset, gint *y_offset, gint *width, gint *height)
{
	if (!x_offset && !y_offset && !width && !height)
		return;
	GTK_CELL_RENDERER_CLASS(fixed_text_cell_parent_class)
	        ->get_size(cell, widget, area, x_offset, y_offset, width, height);
}

static void fixed_text_cell_class_init(FixedTextCellClass *cell_class)
{
	GTK_CELL_RENDERER_CLASS(cell_class)->get_size = measure_only_when_asked;
}
#endif

static void fixed_text_cell_init(FixedTextCell *)
{
}

GtkCellRenderer *fixed_text_cell_new()
{
	return GTK_CELL_RENDERER(g_object_new(fixed_text_cell_get_type(), nullptr));
}

bool is_fixed_text_cell(GtkCellRenderer *cell)
{
	return G_TYPE_CHECK_INSTANCE_TYPE(cell, fixed_text_cell_get_type());
}
