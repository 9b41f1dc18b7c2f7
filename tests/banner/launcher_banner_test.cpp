// The banner in the launcher's own window, built from the real interface
// file by the launcher's start-up.
#include "gui.h"

#include "shell/interface.h"

#include <gtest/gtest.h>

#include <memory>

struct PixbufUnref {
	void operator()(GdkPixbuf *p) const { g_object_unref(p); }
};
using Pixbuf = std::unique_ptr<GdkPixbuf, PixbufUnref>;

// What the X server shows of the area, as a user would see it.
static std::string shown(GtkWidget *area)
{
	GtkAllocation a;
	gtk_widget_get_allocation(area, &a);
	Pixbuf p(gdk_pixbuf_get_from_drawable(nullptr, gtk_widget_get_window(area), nullptr,
	                                      0, 0, 0, 0, a.width, a.height));
	if (!p)
		return {};
	const guchar *bytes = gdk_pixbuf_get_pixels(p.get());
	return std::string(reinterpret_cast<const char *>(bytes),
	                   gdk_pixbuf_get_rowstride(p.get()) * (a.height - 1) +
	                   a.width * gdk_pixbuf_get_n_channels(p.get()));
}

TEST_F(GuiTest, BannerTopsTheWindowAndWaves)
{
	add_player("anna");
	start();
	GList *children = gtk_container_get_children(GTK_CONTAINER(ZelkWidget.vbox1));
	ASSERT_NE(children, nullptr);
	EXPECT_EQ(children->data, ZelkWidget.gl_area);
	g_list_free(children);

	int width = 0, height = 0;
	gtk_widget_get_size_request(ZelkWidget.gl_area, &width, &height);
	EXPECT_EQ(width, 300);
	EXPECT_EQ(height, 170);

	std::string first;
	ASSERT_TRUE(pump_until([&] {
		first = shown(ZelkWidget.gl_area);
		return first.find_first_not_of('\0') != std::string::npos;
	})) << "nothing was drawn";
	EXPECT_TRUE(pump_until([&] { return shown(ZelkWidget.gl_area) != first; }))
		<< "the wave did not move";
}

TEST_F(GuiTest, BannerStopsWithItsWindow)
{
	start();
	pump_events(200);
	gpointer area = ZelkWidget.gl_area;
	gtk_widget_destroy(ZelkWidget.main);
	ZelkWidget = {};
	// An idle handler left behind would draw into a dead area.
	EXPECT_FALSE(g_idle_remove_by_data(area));
}
