// The parser's tests need no display; GtkBuilder's do, and are skipped
// without one (the test command starts a virtual one when there is none).
#include "interface_test.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

static bool display_open = false;

bool have_display()
{
	return display_open;
}

int main(int argc, char **argv)
{
	testing::InitGoogleTest(&argc, argv);
	if (!testing::GTEST_FLAG(list_tests))
		display_open = gtk_init_check(&argc, &argv);
	return RUN_ALL_TESTS();
}
