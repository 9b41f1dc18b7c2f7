// Opening the player list of the launcher's main window, built in this
// process from the interface file, in a game directory of many players:
// from the request to the list drawn on the display. Each round opens the
// two-item language list of the same window too, as the yardstick. Needs an
// X display with GL.
#include "game_dir.h"
#include "banner/gl_area.h"
#include "base/combo_box.h"
#include "base/displayable.h"
#include "base/message_dialog.h"
#include "interface/interface_tree.h"
#include "interface/main_window.h"
#include "launcher/startup.h"

#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

// The main loop may never run dry (the banner asks for frames), so it is
// turned until `done` holds.
template <class Condition>
static void turn_until(Condition done, const char *what)
{
	auto deadline = Clock::now() + std::chrono::seconds(20);
	while (!done()) {
		if (Clock::now() > deadline)
			throw std::runtime_error(std::string("the toolkit did not ") + what);
		gtk_main_iteration_do(FALSE);
	}
}

// What a combo box pops up, menu or list: the widget that shows its rows,
// in the one pop-up window that is on the screen.
static GtkWidget *popped_up_list()
{
	return find_in_popups([](GtkWidget *w) {
		return (GTK_IS_TREE_VIEW(w) || GTK_IS_MENU(w)) &&
		       gtk_widget_get_mapped(gtk_widget_get_toplevel(w));
	});
}

// The list drawn on the display, as asked for now.
static void draw_now(GtkWidget *window)
{
	gtk_widget_queue_draw(window);
#if GTK_CHECK_VERSION(3, 0, 0)
	// GTK 3 draws a window at the next paint of its frame clock, never on
	// request: the loop turns until it has.
	bool drawn = false;
	auto note_drawn = +[](GtkWidget *, cairo_t *, bool *drawn) -> gboolean {
		*drawn = true;
		return FALSE;
	};
	gulong handler = g_signal_connect_after(window, "draw", G_CALLBACK(note_drawn), &drawn);
	turn_until([&] { return drawn; }, "draw the list");
	g_signal_handler_disconnect(window, handler);
#else
	gdk_window_process_updates(gtk_widget_get_window(window), TRUE);
#endif
}

// Milliseconds from the request to the rows drawn by the display server.
// The server need not ask for the drawing of a window it has shown before,
// so the drawing is asked for here, every time alike; only the list's own,
// not the banner's frame that may be due.
static double open_list(GtkWidget *combo)
{
	auto start = Clock::now();
	gtk_combo_box_popup(GTK_COMBO_BOX(combo));
	GtkWidget *list = popped_up_list();
	if (!list)
		throw std::runtime_error("nothing popped up");
	GtkWidget *window = gtk_widget_get_toplevel(list);
	draw_now(window);
	gdk_display_sync(gdk_display_get_default());
	double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
	gtk_combo_box_popdown(GTK_COMBO_BOX(combo));
	// The player list of the GTK 3 build is the launcher's own, which the
	// toolkit's popdown does not know: hidden, it closes.
	gtk_widget_hide(window);
	turn_until([&] { return !gtk_widget_get_mapped(window); }, "pop the list down");
	return ms;
}

// The main window built in `dir`, as the launcher builds it, until the end
// of the scope.
class MainWindow {
public:
	explicit MainWindow(const bench::fs::path &dir)
	{
		if (chdir(dir.c_str()) != 0)
			throw std::runtime_error("cannot enter the game directory");
		zelk_gui_load();
		turn_until([] { return gtk_widget_get_mapped(ZelkWidget.main); },
		           "show the window");
	}
	~MainWindow()
	{
		// Its end would quit a main loop that is not running.
		g_signal_handlers_disconnect_by_func(ZelkWidget.main, (gpointer)gtk_main_quit,
		                                     nullptr);
		gtk_widget_destroy(ZelkWidget.main);
		gdk_display_sync(gdk_display_get_default());
	}
	MainWindow(const MainWindow &) = delete;
	MainWindow &operator=(const MainWindow &) = delete;

	GtkWidget *widget(const char *id) { return InterfaceTree::of(ZelkWidget.main)->widget(id); }
};

static double median(std::vector<double> v)
{
	std::sort(v.begin(), v.end());
	std::size_t n = v.size();
	return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Each round builds the window afresh: the first opening is the one a user
// waits for, the later ones reuse what it built.
static void open_player_list(benchmark::State &state, int players, int records)
{
	bench::fs::path dir = bench::game_dir_with(players, records);
	std::vector<double> first_ms, again_ms, language_ms;
	for (auto _ : state) {
		MainWindow main(dir);
		first_ms.push_back(open_list(main.widget("joueur")));
		again_ms.push_back(open_list(main.widget("joueur")));
		language_ms.push_back(open_list(main.widget("langue")));
		state.SetIterationTime(first_ms.back() / 1e3);
	}
	state.counters["players"] = players;
	state.counters["first_ms"] = median(first_ms);
	state.counters["again_ms"] = median(again_ms);
	state.counters["langue_first_ms"] = median(language_ms);
}

BENCHMARK_CAPTURE(open_player_list, players_1000_and_20000_records, 1000, 20000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(15);
BENCHMARK_CAPTURE(open_player_list, players_10000, 10000, 0)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(15);

static int player_rows()
{
	return gtk_tree_model_iter_n_children(
	        gtk_combo_box_get_model(GTK_COMBO_BOX(ZelkWidget.joueur)), nullptr);
}

// A player made or removed by another program, until the list shows it;
// then a script making 1,000 players at once, and the rebuilds of the list
// it causes.
static void follow_the_disk(benchmark::State &state)
{
	bench::fs::path dir =
	        bench::with_game_files(bench::fs::temp_directory_path() / "trovik-bench-follow");
	bench::fs::remove_all(dir / "profils");
	bench::fs::create_directories(dir / "profils");
	MainWindow main(dir);
	std::vector<double> shown_ms;
	int n = 0;
	for (auto _ : state) {
		int before = player_rows();
		bench::fs::path player = dir / "profils" / ("p" + std::to_string(n / 2));
		auto start = Clock::now();
		if (n++ % 2 == 0)
			bench::fs::create_directory(player);
		else
			bench::fs::remove(player);
		turn_until([&] { return player_rows() != before; }, "follow the disk");
		shown_ms.push_back(
		        std::chrono::duration<double, std::milli>(Clock::now() - start).count());
		state.SetIterationTime(shown_ms.back() / 1e3);
	}
	int rebuilds = 0;
	g_signal_connect_swapped(ZelkWidget.joueur, "notify::model",
	                         G_CALLBACK(+[](int *r) { ++*r; }), &rebuilds);
	for (int i = 0; i < 1000; i++)
		bench::fs::create_directory(dir / "profils" / ("burst" + std::to_string(i)));
	turn_until([&] { return player_rows() >= 1000; }, "show the burst");
	auto settle = Clock::now() + std::chrono::seconds(1);
	turn_until([&] { return Clock::now() > settle; }, "settle");
	state.counters["shown_median_ms"] = median(shown_ms);
	state.counters["shown_worst_ms"] = *std::max_element(shown_ms.begin(), shown_ms.end());
	state.counters["rebuilds_for_1000"] = rebuilds;
	bench::fs::remove_all(dir);
}

BENCHMARK(follow_the_disk)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char *argv[])
{
	gl_keep_to_x11();
	gtk_init(&argc, &argv);
	gl_toolkit_init(&argc, &argv);
	benchmark::Initialize(&argc, argv);
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	return 0;
}
