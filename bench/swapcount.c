/*
 * Preloaded into a program under measurement: counts its glXSwapBuffers
 * calls and notes the time of the first, in a small file that the
 * benchmark maps and reads while the program runs. No change to the
 * program measured is needed.
 */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

struct swapcount {
	volatile uint64_t swaps;
	volatile uint64_t first_swap_ns; /* CLOCK_MONOTONIC */
};

static struct swapcount *shared;

__attribute__((constructor)) static void map_counter(void)
{
	const char *path = getenv("SWAPCOUNT_FILE");
	if (!path)
		return;
	int fd = open(path, O_RDWR);
	if (fd < 0)
		return;
	void *p = mmap(NULL, sizeof *shared, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
	close(fd);
	if (p != MAP_FAILED)
		shared = p;
}

void glXSwapBuffers(Display *display, GLXDrawable drawable)
{
	static void (*real)(Display *, GLXDrawable);
	if (!real)
		real = (void (*)(Display *, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
	real(display, drawable);
	if (!shared)
		return;
	if (shared->swaps == 0) {
		struct timespec ts;
		clock_gettime(CLOCK_MONOTONIC, &ts);
		shared->first_swap_ns = (uint64_t)ts.tv_sec * 1000000000u + (uint64_t)ts.tv_nsec;
	}
	shared->swaps++;
}
