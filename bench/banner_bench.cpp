// The banner's costs on the display at hand: one frame of the mosaic in a
// real 300x170 area beside a bare clear and swap of an area of the same
// size, and one load of the shipped texture.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "banner/gl.h"
#include "banner/gl_area.h"
#include "banner/tga.h"
#include "base/platform.h"

namespace fs = std::filesystem;

namespace {

const fs::path data_dir = fs::path(TROVIK_SOURCE_DIR) / "data";

// A shown window around one banner area, realised in the data directory so
// that banner::init() loads the shipped texture.
class BannerArea {
public:
	BannerArea()
	{
		fs::path previous = fs::current_path();
		fs::current_path(data_dir);
		window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
		area_ = CreateGl_GtkGlExt();
		gtk_container_add(GTK_CONTAINER(window_), area_);
		gtk_widget_show_all(window_);
		for (int i = 0; i < 1000 && !gtk_widget_get_mapped(area_); i++) {
			gdk_display_sync(gdk_display_get_default());
			while (gtk_events_pending())
				gtk_main_iteration_do(FALSE);
			g_usleep(2000);
		}
		fs::current_path(previous);
	}
	~BannerArea() { gtk_widget_destroy(window_); }
	BannerArea(const BannerArea &) = delete;
	BannerArea &operator=(const BannerArea &) = delete;

	// Runs work() with the area's context current.
	bool run(const std::function<void()> &work) { return with_gl_context(area_, work); }
	GtkWidget *area() const { return area_; }

private:
	GtkWidget *window_;
	GtkWidget *area_;
};

// glFinish in both frames, so that a renderer that works behind the
// program's back is timed to the end of its work.
void BM_BannerFrame(benchmark::State &state)
{
	BannerArea area;
	bool ok = area.run([&] {
		for (auto _ : state) {
			banner::draw(performance_counter());
			swap_gl_buffers(area.area());
			glFinish();
		}
	});
	if (!ok)
		state.SkipWithError("no GL context");
}
BENCHMARK(BM_BannerFrame)->Unit(benchmark::kMicrosecond);

void BM_ClearAndSwap(benchmark::State &state)
{
	BannerArea area;
	bool ok = area.run([&] {
		for (auto _ : state) {
			glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
			swap_gl_buffers(area.area());
			glFinish();
		}
	});
	if (!ok)
		state.SkipWithError("no GL context");
}
BENCHMARK(BM_ClearAndSwap)->Unit(benchmark::kMicrosecond);

void BM_LoadTGA(benchmark::State &state)
{
	BannerArea area;
	const std::string path = (data_dir / "textures/image.tga").string();
	bool ok = area.run([&] {
		for (auto _ : state) {
			if (banner::load_texture(path.c_str(), 2) != TGA_OK) {
				state.SkipWithError("the shipped texture does not load");
				break;
			}
			glFinish();
		}
	});
	if (!ok)
		state.SkipWithError("no GL context");
	state.SetBytesProcessed(state.iterations() * std::int64_t(fs::file_size(path)));
}
BENCHMARK(BM_LoadTGA)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
	benchmark::Initialize(&argc, argv);
	gl_keep_to_x11();
	if (!gtk_init_check(&argc, &argv) || !gl_toolkit_init(&argc, &argv)) {
		std::fprintf(stderr, "bench_banner needs an X display with GLX\n");
		return 1;
	}
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	return 0;
}
