/*
 * Preloaded into the launcher run under callgrind (callgrind_startup.sh):
 * ends it as it enters the toolkit's main loop (STOP_AT=main_loop) or once
 * its first GL frame is swapped (STOP_AT=first_frame), so that the count of
 * instructions is that of start-up alone. The launcher knows nothing of it.
 */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>

static int stop_at(const char *point)
{
	const char *wanted = getenv("STOP_AT");
	return wanted && strcmp(wanted, point) == 0;
}

void gtk_main(void)
{
	if (stop_at("main_loop"))
		exit(0);
	void (*real)(void) = (void (*)(void))dlsym(RTLD_NEXT, "gtk_main");
	real();
}

void glXSwapBuffers(Display *display, GLXDrawable drawable)
{
	void (*real)(Display *, GLXDrawable) =
	        (void (*)(Display *, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
	real(display, drawable);
	if (stop_at("first_frame"))
		exit(0);
}
