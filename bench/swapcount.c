/*
 * Preloaded into a program under measurement: counts its glXSwapBuffers
 * calls and notes the time of the first, and when the program enters the
 * toolkit's main loop, in a small file that the benchmark maps and reads
 * while the program runs. No change to the program measured is needed.
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
	volatile uint64_t main_loop_ns;
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

static uint64_t now_ns(void)
{
	struct timespec ts;
	clock_gettime(CLOCK_MONOTONIC, &ts);
	return (uint64_t)ts.tv_sec * 1000000000u + (uint64_t)ts.tv_nsec;
}

void gtk_main(void)
{
	static void (*real)(void);
	if (!real)
		real = (void (*)(void))dlsym(RTLD_NEXT, "gtk_main");
	if (shared && shared->main_loop_ns == 0)
		shared->main_loop_ns = now_ns();
	real();
}

void glXSwapBuffers(Display *display, GLXDrawable drawable)
{
	static void (*real)(Display *, GLXDrawable);
	if (!real)
		real = (void (*)(Display *, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
	real(display, drawable);
	if (!shared)
		return;
	if (shared->swaps == 0)
		shared->first_swap_ns = now_ns();
	shared->swaps++;
}
