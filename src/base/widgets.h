// Small helpers every window uses: a French message dialog, a combo box's
// text, names made fit to show, and the pop-up windows' contents.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <string>

// The text of column 0 of the active row, byte for byte; nothing when no
// row is active.
std::optional<std::string> combo_active_text(GtkWidget *combo);

// Whether `layout`, handed to a cell data function of `combo`, is the
// combo box's closed view, which shows the active row, rather than the
// list it pops up.
bool is_closed_view(GtkCellLayout *layout, GtkWidget *combo);

// Says `text`, with `detail` under it when given, in a small French dialog
// over `window`: for a failure the window itself has no place to say.
void show_message_over(GtkWidget *window, const char *text, const char *detail = nullptr);

// Names are any bytes but '/' and NUL; what the window shows of one is made
// valid UTF-8, so that a stray byte cannot garble it.
std::string displayable(const std::string &name);

// The first widget, depth first, that `match` accepts in the process's
// pop-up windows, where a combo box keeps its list or menu.
GtkWidget *find_in_popups(const std::function<bool(GtkWidget *)> &match);
