#include "banner/banner.h"

#include <memory>

#include "banner/gl_area.h"

namespace banner {

// Below input and redrawing, as the idle handler it replaces was: a busy
// window answers the user first and animates with what is left.
static const int PACING_PRIORITY = G_PRIORITY_DEFAULT_IDLE;

// One area's pacing, owned by the area.
struct Pacer {
	GtkWidget *area;
	GtkWidget *toplevel;
	guint timer = 0;
	gulong handlers[3] = {};
	// Under other windows, as the X server tells the area's own window.
	bool covered = false;

	~Pacer();
};

static const char PACER_KEY[] = "banner-pacer";

static gboolean queue_frame(gpointer area)
{
	gtk_widget_queue_draw(GTK_WIDGET(area));
	return TRUE;
}

static void stop(Pacer &p)
{
	if (p.timer)
		g_source_remove(p.timer);
	p.timer = 0;
}

// The phase follows the counter, so a frame at the restart already shows the
// wave where the time spent away put it: nothing is to catch up.
static void start(Pacer &p)
{
	if (p.timer)
		return;
	p.timer = g_timeout_add_full(PACING_PRIORITY, 1000 / frames_per_second, queue_frame, p.area,
	                             nullptr);
	gtk_widget_queue_draw(p.area);
}

// Iconified windows are unmapped by most window managers and only flagged
// by some; either way nothing of the banner can be seen, nor when other
// windows cover it whole.
static bool on_screen(const Pacer &p)
{
	GtkWidget *toplevel = p.toplevel;
	if (p.covered)
		return false;
	GdkWindow *window = gtk_widget_get_window(toplevel);
	const int hidden = GDK_WINDOW_STATE_WITHDRAWN | GDK_WINDOW_STATE_ICONIFIED;
	return gtk_widget_get_mapped(toplevel) && window && gdk_window_is_visible(window) &&
	       !(gdk_window_get_state(window) & hidden);
}

static void follow(Pacer &p)
{
	if (on_screen(p))
		start(p);
	else
		stop(p);
}

Pacer::~Pacer()
{
	stop(*this);
	for (gulong h : handlers)
		if (h)
			g_signal_handler_disconnect(toplevel, h);
}

static gboolean window_changed(GtkWidget *, GdkEvent *, gpointer pacer)
{
	follow(*static_cast<Pacer *>(pacer));
	return FALSE;
}

static gboolean visibility_changed(GtkWidget *, GdkEventVisibility *event, gpointer pacer)
{
	Pacer &p = *static_cast<Pacer *>(pacer);
	p.covered = event->state == GDK_VISIBILITY_FULLY_OBSCURED;
	follow(p);
	return FALSE;
}

static void free_pacer(gpointer pacer)
{
	std::unique_ptr<Pacer> owned(static_cast<Pacer *>(pacer));
}

static void forget_pacer(GtkWidget *area, gpointer)
{
	g_object_set_data(G_OBJECT(area), PACER_KEY, nullptr);
}

static void pace(GtkWidget *area)
{
	auto p = std::make_unique<Pacer>();
	p->area = area;
	p->toplevel = gtk_widget_get_toplevel(area);
	const char *signals[] = {"map-event", "unmap-event", "window-state-event"};
	for (int i = 0; i < 3; i++)
		p->handlers[i] = g_signal_connect(p->toplevel, signals[i],
		                                  G_CALLBACK(window_changed), p.get());
	// The area's own X window, not the toplevel's: the toplevel's is
	// covered whole by its own children.
	gtk_widget_add_events(area, GDK_VISIBILITY_NOTIFY_MASK);
	g_signal_connect(area, "visibility-notify-event", G_CALLBACK(visibility_changed), p.get());
	follow(*p);
	g_object_set_data_full(G_OBJECT(area), PACER_KEY, p.release(), free_pacer);
	g_signal_connect(area, "destroy", G_CALLBACK(forget_pacer), nullptr);
}

GtkWidget *add_to_top(GtkWidget *box)
{
	GtkWidget *area = CreateGl_GtkGlExt();
	gtk_box_pack_start(GTK_BOX(box), area, TRUE, TRUE, 0);
	gtk_box_reorder_child(GTK_BOX(box), area, 0);
	gtk_widget_show(area);
	pace(area);
	return area;
}

} // namespace banner
