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

// The emissions of a widget's signal while the count lives, seen by a hook
// on the signal: a handler that ends the emission cannot hide them, nor
// does the widget's going, or its window's, end the count.
class EmissionCount {
public:
	EmissionCount(GtkWidget *widget, const char *signal)
	    : widget_(widget), signal_(g_signal_lookup(signal, G_OBJECT_TYPE(widget))),
	      hook_(g_signal_add_emission_hook(signal_, 0, seen, this, nullptr))
	{
	}
	~EmissionCount() { g_signal_remove_emission_hook(signal_, hook_); }
	EmissionCount(const EmissionCount &) = delete;
	EmissionCount &operator=(const EmissionCount &) = delete;

	int count() const { return count_; }

private:
	static gboolean seen(GSignalInvocationHint *, guint, const GValue *values, gpointer self)
	{
		auto *counted = static_cast<EmissionCount *>(self);
		counted->count_ += g_value_get_object(&values[0]) == counted->widget_;
		return TRUE;
	}

	GtkWidget *widget_;
	int count_ = 0;
	guint signal_;
	gulong hook_;
};

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
