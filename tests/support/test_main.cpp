// Tests run under an X display (the test command starts a virtual one when
// there is none). The toolkit is initialised once per process, before any
// test, but not when the runner only lists its tests.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#if !GTK_CHECK_VERSION(3, 0, 0)
#include <gtk/gtkgl.h>
#endif

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

// GtkGLExt needs its own start; GTK 3's banner asks GLX directly.
static void init_gl(int &argc, char **&argv)
{
#if GTK_CHECK_VERSION(3, 0, 0)
	(void)argc;
	(void)argv;
#else
	gtk_gl_init_check(&argc, &argv);
#endif
}

int main(int argc, char **argv)
{
	testing::InitGoogleTest(&argc, argv);
	if (!testing::GTEST_FLAG(list_tests)) {
		if (open_display(argc, argv))
			init_gl(argc, argv);
	}
	return RUN_ALL_TESTS();
}
