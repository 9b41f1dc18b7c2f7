// The running launcher against bare GTK+ windows on the same display, each
// its own process: start-up to the first mapped window and to the first GL
// frame, and frames per second of the banner beside a GL area of the same
// size that only clears and swaps. Frames are counted by a preloaded
// library (swapcount.c) that the measured programs know nothing of.
// Start-up ratios come from rounds that run both programs, in turn, so that
// the load of this shared machine weighs on both alike.
#include "game_dir.h"
#include "process.h"

#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <sys/mman.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct SwapCount {
	volatile std::uint64_t swaps;
	volatile std::uint64_t first_swap_ns;
	volatile std::uint64_t main_loop_ns;
};

struct Program {
	std::string path;
	std::vector<std::string> args;
	fs::path workdir;
};

static fs::path game_dir()
{
	fs::path dir = fs::temp_directory_path() / "trovik-bench-game";
	fs::create_directories(dir / "profils/anna/pack1");
	return bench::with_game_files(dir);
}

static Program launcher()
{
	return {GTKTROVIK_BIN, {}, game_dir()};
}

static Program launcher_with(int players, int records)
{
	return {GTKTROVIK_BIN, {}, bench::game_dir_with(players, records)};
}

static Program bare(bool gl, int width = 300)
{
	return {BARE_WINDOW_BIN,
	        {gl ? "gl" : "plain", std::to_string(width)},
	        fs::temp_directory_path()};
}

static std::uint64_t now_ns()
{
	timespec ts;
	clock_gettime(CLOCK_MONOTONIC, &ts);
	return std::uint64_t(ts.tv_sec) * 1000000000u + std::uint64_t(ts.tv_nsec);
}

// A program started with the frame counter preloaded; killed, with all it
// started, when it goes out of scope.
class Running {
public:
	explicit Running(const Program &p)
	{
		counter_file_ =
		        fs::temp_directory_path() / ("trovik-swaps-" + std::to_string(getpid()));
		std::ofstream(counter_file_, std::ios::binary)
		        << std::string(sizeof(SwapCount), '\0');
		int fd = open(counter_file_.c_str(), O_RDWR);
		void *m = mmap(nullptr, sizeof(SwapCount), PROT_READ, MAP_SHARED, fd, 0);
		close(fd);
		counter_ = m == MAP_FAILED ? nullptr : static_cast<const SwapCount *>(m);

		std::vector<std::string> argv{p.path};
		argv.insert(argv.end(), p.args.begin(), p.args.end());
		ProcessOptions options = {p.workdir,
		                          {std::string("LD_PRELOAD=") + SWAPCOUNT_LIB,
		                           "SWAPCOUNT_FILE=" + counter_file_.string()},
		                          false};
		started_ns_ = now_ns();
		process_ = std::make_unique<Process>(argv, options);
	}
	~Running()
	{
		process_.reset();
		if (counter_)
			munmap(const_cast<SwapCount *>(counter_), sizeof(SwapCount));
		std::error_code ec;
		fs::remove(counter_file_, ec);
	}
	bool ok() const { return pid() > 0 && counter_; }
	pid_t pid() const { return process_->pid(); }
	std::uint64_t started_ns() const { return started_ns_; }
	std::uint64_t swaps() const { return counter_->swaps; }
	// Nanoseconds from the start to the main loop, 0 while it is not there.
	std::uint64_t main_loop_ns() const
	{
		std::uint64_t at = counter_->main_loop_ns;
		return at ? at - started_ns_ : 0;
	}
	// Nanoseconds from the start to the first frame, 0 while there is none.
	std::uint64_t first_frame_ns() const
	{
		std::uint64_t at = counter_->first_swap_ns;
		return at ? at - started_ns_ : 0;
	}

private:
	std::unique_ptr<Process> process_;
	std::uint64_t started_ns_ = 0;
	fs::path counter_file_;
	const SwapCount *counter_ = nullptr;
};

static bool wait_until(double seconds, const std::function<bool()> &done)
{
	auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
	while (!done()) {
		if (Clock::now() >= deadline)
			return false;
		std::this_thread::sleep_for(std::chrono::microseconds(200));
	}
	return true;
}

// The server may still be busy with the last program killed: try again.
static Display *open_display()
{
	for (int i = 0; i < 50; i++) {
		if (Display *d = XOpenDisplay(nullptr))
			return d;
		std::this_thread::sleep_for(std::chrono::milliseconds(100));
	}
	return nullptr;
}

static int banner_width = 300;
static int window_height = 427;

static void startup_to_window(benchmark::State &state, const Program &program)
{
	Display *d = open_display();
	if (!d) {
		state.SkipWithError("no X display");
		return;
	}
	XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
	for (auto _ : state) {
		XSync(d, True);
		Running p(program);
		bool mapped = p.ok() && wait_until(10, [&] {
			              while (XPending(d)) {
				              XEvent e;
				              XNextEvent(d, &e);
				              if (e.type == MapNotify)
					              return true;
			              }
			              return false;
		              });
		if (!mapped) {
			state.SkipWithError("no window appeared");
			break;
		}
		state.SetIterationTime((now_ns() - p.started_ns()) / 1e9);
	}
	XCloseDisplay(d);
}

static void startup_to_first_frame(benchmark::State &state, const Program &program)
{
	for (auto _ : state) {
		Running p(program);
		if (!p.ok() || !wait_until(10, [&] { return p.first_frame_ns() != 0; })) {
			state.SkipWithError("no frame was drawn");
			break;
		}
		state.SetIterationTime(p.first_frame_ns() / 1e9);
	}
}

struct StartupTimes {
	double main_loop_ms, first_frame_ms;
};

static std::optional<StartupTimes> time_startup(const Program &program)
{
	Running p(program);
	if (!p.ok() || !wait_until(10, [&] { return p.main_loop_ns() && p.first_frame_ns(); }))
		return std::nullopt;
	return StartupTimes{p.main_loop_ns() / 1e6, p.first_frame_ns() / 1e6};
}

static double median(std::vector<double> v)
{
	std::sort(v.begin(), v.end());
	std::size_t n = v.size();
	return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

static std::string listed(const std::vector<double> &v)
{
	std::string all;
	for (double x : v) {
		char one[32];
		std::snprintf(one, sizeof one, "%s%.2f", all.empty() ? "" : " ", x);
		all += one;
	}
	return all;
}

// Start-up of `measured` over that of `reference`, to the main loop and to
// the first frame. Each round runs both, the one first that ran second in
// the round before; the figures are the medians of the rounds' ratios.
static void startup_ratio(benchmark::State &state, const Program &measured,
                          const Program &reference)
{
	// Caches warm for both before anything counts.
	time_startup(measured);
	time_startup(reference);
	std::vector<double> loop_ratios, frame_ratios, loop_ms, frame_ms, ref_loop_ms, ref_frame_ms;
	bool measured_first = true;
	for (auto _ : state) {
		std::optional<StartupTimes> m, r;
		if (measured_first) {
			m = time_startup(measured);
			r = time_startup(reference);
		} else {
			r = time_startup(reference);
			m = time_startup(measured);
		}
		measured_first = !measured_first;
		if (!m || !r) {
			state.SkipWithError("no frame was drawn");
			return;
		}
		loop_ratios.push_back(m->main_loop_ms / r->main_loop_ms);
		frame_ratios.push_back(m->first_frame_ms / r->first_frame_ms);
		loop_ms.push_back(m->main_loop_ms);
		frame_ms.push_back(m->first_frame_ms);
		ref_loop_ms.push_back(r->main_loop_ms);
		ref_frame_ms.push_back(r->first_frame_ms);
		state.SetIterationTime(m->first_frame_ms / 1e3);
	}
	state.counters["loop_ratio"] = median(loop_ratios);
	state.counters["frame_ratio"] = median(frame_ratios);
	state.counters["loop_ms"] = median(loop_ms);
	state.counters["ref_loop_ms"] = median(ref_loop_ms);
	state.counters["frame_ms"] = median(frame_ms);
	state.counters["ref_frame_ms"] = median(ref_frame_ms);
	state.SetLabel("rounds, main loop: " + listed(loop_ratios) +
	               "; first frame: " + listed(frame_ratios));
}

static void frames_per_second(benchmark::State &state, const Program &program)
{
	double frames = 0, seconds = 0;
	for (auto _ : state) {
		Running p(program);
		// Past start-up and the first frames of a freshly mapped area.
		if (!p.ok() || !wait_until(10, [&] { return p.swaps() > 10; })) {
			state.SkipWithError("no frames were drawn");
			break;
		}
		std::uint64_t before = p.swaps();
		auto start = Clock::now();
		std::this_thread::sleep_for(std::chrono::seconds(2));
		double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
		frames += double(p.swaps() - before);
		seconds += elapsed;
		state.SetIterationTime(elapsed);
	}
	if (seconds > 0)
		state.counters["fps"] = frames / seconds;
	state.counters["width"] = banner_width;
}

// Processor time the process has used so far, user and system, in seconds.
static double cpu_seconds(pid_t pid)
{
	std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
	std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
	// The command name may hold spaces; the fields counted here follow it.
	std::istringstream fields(stat.substr(stat.rfind(')') + 2));
	std::string field;
	unsigned long long user = 0, system = 0;
	for (int i = 3; i <= 15 && fields >> field; i++) {
		if (i == 14)
			user = std::stoull(field);
		else if (i == 15)
			system = std::stoull(field);
	}
	return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

// What the running program costs once it is up: frames a second and the
// share of one core it takes, over a few seconds.
static void running_cost(benchmark::State &state, const Program &program)
{
	double frames = 0, seconds = 0, cpu = 0;
	for (auto _ : state) {
		Running p(program);
		if (!p.ok() || !wait_until(10, [&] { return p.swaps() > 10; })) {
			state.SkipWithError("no frames were drawn");
			break;
		}
		std::uint64_t swaps_before = p.swaps();
		double cpu_before = cpu_seconds(p.pid());
		auto start = Clock::now();
		std::this_thread::sleep_for(std::chrono::seconds(3));
		double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
		frames += double(p.swaps() - swaps_before);
		cpu += cpu_seconds(p.pid()) - cpu_before;
		seconds += elapsed;
		state.SetIterationTime(elapsed);
	}
	if (seconds > 0) {
		state.counters["fps"] = frames / seconds;
		state.counters["cpu_percent"] = 100 * cpu / seconds;
	}
	state.counters["width"] = banner_width;
}

// The banner fills the width of the launcher's window, which its other
// widgets set: the bare area is given the same size, and the bare banner
// the window's, found by starting the launcher once.
static int launcher_window_width()
{
	Display *d = open_display();
	if (!d)
		return 300;
	XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
	Running p(launcher());
	Window mapped = None;
	wait_until(10, [&] {
		while (XPending(d)) {
			XEvent e;
			XNextEvent(d, &e);
			if (e.type == MapNotify)
				mapped = e.xmap.window;
		}
		return mapped != None && p.swaps() > 10;
	});
	XWindowAttributes a;
	int width = 300;
	if (mapped != None && XGetWindowAttributes(d, mapped, &a)) {
		width = a.width;
		window_height = a.height;
	}
	XCloseDisplay(d);
	return width;
}

static const bool banner_measured = (banner_width = launcher_window_width(), true);

static Program bare_banner()
{
	return {BARE_BANNER_BIN,
	        {std::to_string(banner_width), std::to_string(window_height)},
	        game_dir()};
}

static const int rounds = 15;

BENCHMARK_CAPTURE(startup_ratio, launcher_over_bare_banner, launcher(), bare_banner())
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(rounds);
BENCHMARK_CAPTURE(startup_ratio, players_1000_and_20000_records_over_none,
                  launcher_with(1000, 20000), launcher_with(0, 0))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(rounds);
BENCHMARK_CAPTURE(startup_ratio, players_10000_over_none, launcher_with(10000, 0),
                  launcher_with(0, 0))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(rounds);

BENCHMARK_CAPTURE(startup_to_window, launcher, launcher())
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
BENCHMARK_CAPTURE(startup_to_window, bare_gtk_window, bare(false))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
BENCHMARK_CAPTURE(startup_to_first_frame, launcher, launcher())
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
BENCHMARK_CAPTURE(startup_to_first_frame, bare_gtk_gl_window, bare(true))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
BENCHMARK_CAPTURE(frames_per_second, launcher, launcher())
        ->UseManualTime()
        ->Unit(benchmark::kSecond)
        ->Iterations(3);
BENCHMARK_CAPTURE(frames_per_second, bare_gl_area_of_banner_size, bare(true, banner_width))
        ->UseManualTime()
        ->Unit(benchmark::kSecond)
        ->Iterations(3);

BENCHMARK_CAPTURE(running_cost, launcher, launcher())
        ->UseManualTime()
        ->Unit(benchmark::kSecond)
        ->Iterations(2);
BENCHMARK_CAPTURE(running_cost, bare_gl_area_paced_alike,
                  Program{BARE_WINDOW_BIN,
                          {"gl", std::to_string(banner_width), "paced"},
                          fs::temp_directory_path()})
        ->UseManualTime()
        ->Unit(benchmark::kSecond)
        ->Iterations(2);
BENCHMARK_CAPTURE(running_cost, bare_gl_area_unpaced, bare(true, banner_width))
        ->UseManualTime()
        ->Unit(benchmark::kSecond)
        ->Iterations(2);

// The launcher of this build over the one of another build of the same
// tree, named by TROVIK_OTHER_LAUNCHER: the GTK 3 build's over the GTK+ 2
// build's, both in the same game directory.
static void register_toolkit_ratio()
{
	const char *other = std::getenv("TROVIK_OTHER_LAUNCHER");
	if (!other || !*other)
		return;
	Program reference{other, {}, game_dir()};
	benchmark::RegisterBenchmark("startup_ratio/launcher_over_other_build",
	                             [reference](benchmark::State &state) {
		                             startup_ratio(state, launcher(), reference);
	                             })
	        ->UseManualTime()
	        ->Unit(benchmark::kMillisecond)
	        ->Iterations(rounds);
}

int main(int argc, char **argv)
{
	register_toolkit_ratio();
	benchmark::Initialize(&argc, argv);
	if (benchmark::ReportUnrecognizedArguments(argc, argv))
		return 1;
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	return 0;
}
