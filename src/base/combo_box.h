// What the windows read of their combo boxes: the text of a row, the
// active one's, which of a combo box's views is at work, and the list or
// menu it pops up.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <string>

// The text of column 0 of `model` at `iter`, byte for byte; empty where
// the row has none.
std::string row_text(GtkTreeModel *model, GtkTreeIter *iter);

// The text of column 0 of the active row, byte for byte; nothing when no
// row is active.
std::optional<std::string> combo_active_text(GtkWidget *combo);

// Whether `layout`, handed to a cell data function of `combo`, is the
// combo box's closed view, which shows the active row, rather than the
// list it pops up.
bool is_closed_view(GtkCellLayout *layout, GtkWidget *combo);

// The first widget, depth first, that `match` accepts in the process's
// pop-up windows, where a combo box keeps its list or menu.
GtkWidget *find_in_popups(const std::function<bool(GtkWidget *)> &match);
