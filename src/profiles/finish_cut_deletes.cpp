#include "profiles/finish_cut_deletes.h"

#include "interface/main_window.h"
#include "profiles/cut_deletes.h"

#include <memory>

// Steps of the walk at each turn of the main loop: a millisecond or so of
// removing, between which input and the banner's frames come first.
static const int steps_per_turn = 200;

// What is being finished while the main window lives.
static struct {
	std::unique_ptr<CutDeletes> deletes;
	guint source; // the idle source that finishes them, 0 once done
} cut;

static void stop_finishing()
{
	if (cut.source)
		g_source_remove(cut.source);
	cut.source = 0;
	cut.deletes.reset();
}

static gboolean finish_some(gpointer)
{
	if (cut.deletes->step(steps_per_turn))
		return TRUE;
	cut.source = 0;
	cut.deletes.reset();
	return FALSE;
}

static void main_window_gone(GtkWidget *, gpointer)
{
	stop_finishing();
}

void finish_cut_deletes()
{
	stop_finishing();
	cut.deletes = std::make_unique<CutDeletes>();
	// At the banner's own priority: below it, a machine that draws slowly
	// would never come to the deletes while the banner waves.
	cut.source = g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, finish_some, nullptr, nullptr);
	g_signal_connect(ZelkWidget.main, "destroy", G_CALLBACK(main_window_gone), nullptr);
}
