#include "gui.h"

#include "base/combo_box.h"
#include "interface/main_window.h"
#include "launcher/startup.h"

#include <chrono>
#include <thread>

namespace fs = std::filesystem;

void pump_events(int ms)
{
	// Nothing to wait for but the time.
	wait_until([] { return false; }, std::chrono::milliseconds(ms),
	           [] {
		           if (!g_main_context_iteration(nullptr, FALSE))
			           std::this_thread::sleep_for(std::chrono::milliseconds(1));
	           });
}

GtkWidget *open_window_widget(const char *window, const char *id)
{
	GList *windows = gtk_window_list_toplevels();
	GtkWidget *found = nullptr;
	for (GList *l = windows; l && !found; l = l->next) {
		const InterfaceTree *tree = InterfaceTree::of(GTK_WIDGET(l->data));
		if (tree && tree->widget(window) == l->data)
			found = tree->widget(id);
	}
	g_list_free(windows);
	return found;
}

bool pump_until(const std::function<bool()> &done, std::chrono::milliseconds timeout)
{
	return wait_until(done, timeout, [] { pump_events(10); });
}

void GuiTest::SetUp()
{
	ASSERT_NE(gdk_display_get_default(), nullptr) << "these tests need an X display";
	lay_out_game_dir(dir.path());
	cd = std::make_unique<ScopedChdir>(dir.path());
}

// Several tests may share one process: nothing of one may show in the next.
void GuiTest::TearDown()
{
	for (GtkWidget *w : toplevels(GTK_TYPE_WINDOW)) {
		g_signal_handlers_disconnect_by_func(w, (gpointer)gtk_main_quit, nullptr);
		gtk_widget_destroy(w);
	}
	pump_events(10);
}

void GuiTest::start()
{
	zelk_gui_load();
	pump_events();
}

void GuiTest::add_player(const std::string &name)
{
	fs::create_directories(dir / "profils" / name);
}

static GtkWidget *found(GtkWidget *w, const char *id)
{
	EXPECT_NE(w, nullptr) << "no widget " << id << " in an open window";
	return w;
}

GtkWidget *GuiTest::main_widget(const char *id)
{
	return found(open_window_widget("main", id), id);
}
GtkWidget *GuiTest::add_widget(const char *id)
{
	return found(open_window_widget("ajout", id), id);
}
GtkWidget *GuiTest::delete_widget(const char *id)
{
	return found(open_window_widget("suppression", id), id);
}

void GuiTest::click(GtkWidget *button)
{
	ASSERT_TRUE(GTK_IS_BUTTON(button));
	gtk_button_clicked(GTK_BUTTON(button));
	pump_events();
}

std::string GuiTest::label_text(GtkWidget *label)
{
	return gtk_label_get_text(GTK_LABEL(label));
}

std::string GuiTest::active_player()
{
	return combo_active_text(ZelkWidget.joueur).value_or("<none>");
}

int GuiTest::player_count()
{
	return gtk_tree_model_iter_n_children(gtk_combo_box_get_model(combo("joueur")), nullptr);
}

std::vector<GtkWidget *> GuiTest::toplevels(GType type)
{
	std::vector<GtkWidget *> found;
	GList *all = gtk_window_list_toplevels();
	for (GList *l = all; l; l = l->next)
		if (G_TYPE_CHECK_INSTANCE_TYPE(l->data, type) &&
		    gtk_window_get_window_type(GTK_WINDOW(l->data)) == GTK_WINDOW_TOPLEVEL &&
		    gtk_widget_get_visible(GTK_WIDGET(l->data)))
			found.push_back(GTK_WIDGET(l->data));
	g_list_free(all);
	return found;
}
