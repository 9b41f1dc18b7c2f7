// The launcher's windows built in the test's own process from the real
// interface file, in a scratch working directory: buttons are pressed
// through the connections the interface file made, as a click would.
#pragma once

#include "tempdir.h"
#include "wait.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// Runs the main loop for about `ms` milliseconds. The banner keeps the loop
// busy for ever, so "until nothing is pending" would never end.
void pump_events(int ms = 50);

// Runs the main loop until `done` holds or `timeout` has passed; whether
// it holds.
bool pump_until(const std::function<bool()> &done,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));

// The widget `id` of the open window `window` of the interface file
// ("ajout", "suppression"), found through the interface tree that built
// it; null while none is open.
GtkWidget *open_window_widget(const char *window, const char *id);

class GuiTest : public testing::Test {
protected:
	void SetUp() override;
	void TearDown() override;

	// Builds the main window, as the launcher's start-up does.
	void start();
	void add_player(const std::string &name);

	GtkWidget *main_widget(const char *id);
	GtkWidget *add_widget(const char *id);    // in the latest add window
	GtkWidget *delete_widget(const char *id); // in the latest delete window
	void click(GtkWidget *button);
	GtkComboBox *combo(const char *id) { return GTK_COMBO_BOX(main_widget(id)); }
	std::string label_text(GtkWidget *label);
	std::string active_player();
	int player_count();
	// The shown toplevel windows of the given type (menus and popups aside).
	std::vector<GtkWidget *> toplevels(GType type);

	TempDir dir;
	std::unique_ptr<ScopedChdir> cd;
};
