// The small dialog in which a program says what it has no place of its own
// for, in French.
#pragma once

#include <gtk/gtk.h>

// Says `text`, with `detail` under it when given, in a small French dialog
// over `window`: for a failure the window itself has no place to say.
void show_message_over(GtkWidget *window, const char *text, const char *detail = nullptr);

// Says `text` in that dialog, over no window, and returns once it is closed:
// for a program that has no window of its own.
void say_in_message_dialog(const char *text);
