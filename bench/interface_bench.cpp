// Start-up's reading of the interface file on GTK 3: parsed once, its three
// windows converted for GtkBuilder, with a catalogue of GTK 3's classes
// made anew, as each start makes it. The first round also pays for
// registering and initialising the classes, which building the windows
// would pay for anyway; it runs once, before the others.
#include "interface/builder_xml.h"
#include "interface/gtk3_catalog.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

static const char *const windows[] = {"main", "ajout", "suppression"};

static std::string project_file()
{
	std::ifstream in(TROVIK_SOURCE_DIR "/data/gtktrovik.glade", std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

static void parse_and_convert(benchmark::State &state)
{
	std::string text = project_file();
	for (auto _ : state) {
		std::optional<GladeFile> file = parse_glade(text);
		std::unique_ptr<ClassCatalog> catalog = gtk3_catalog();
		for (const char *window : windows)
			benchmark::DoNotOptimize(builder_xml(*file, window, *catalog));
	}
}
BENCHMARK(parse_and_convert)->Name("first_start")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(parse_and_convert)
        ->Name("parse_and_convert_three_windows")
        ->Unit(benchmark::kMicrosecond);

static void parse_only(benchmark::State &state)
{
	std::string text = project_file();
	for (auto _ : state)
		benchmark::DoNotOptimize(parse_glade(text));
}
BENCHMARK(parse_only)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
