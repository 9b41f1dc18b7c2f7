// Tests run under an X display (the test command starts a virtual one when
// there is none). The toolkit is initialised once per process, before any
// test, but not when the runner only lists its tests.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "banner/gl_area.h"

// A display that is named but does not answer may be a virtual server
// between two of its clients: it is given a moment before the tests run
// without one.
static bool open_display(int &argc, char **&argv)
{
	for (int tries = 0; tries < 20; tries++) {
		if (gtk_init_check(&argc, &argv))
			return true;
		if (!g_getenv("DISPLAY"))
			return false;
		g_usleep(100 * 1000);
	}
	return false;
}

int main(int argc, char **argv)
{
	testing::InitGoogleTest(&argc, argv);
	if (!testing::GTEST_FLAG(list_tests)) {
		gl_keep_to_x11();
		if (open_display(argc, argv))
			gl_toolkit_init(&argc, &argv);
	}
	return RUN_ALL_TESTS();
}
