// Tests run under an X display (the test command starts a virtual one when
// there is none). The toolkit is initialised once per process, before any
// test, but not when the runner only lists its tests.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtk/gtkgl.h>

#include <cstring>

int main(int argc, char **argv)
{
	testing::InitGoogleTest(&argc, argv);
	if (!testing::GTEST_FLAG(list_tests)) {
		if (gtk_init_check(&argc, &argv))
			gtk_gl_init_check(&argc, &argv);
	}
	return RUN_ALL_TESTS();
}
