// Listing and sorting the players, and counting one player's records, each
// beside a bare readdir walk of the same entries. The trees are built once
// in a scratch directory, which is also the working directory.
#include "profiles/dir.h"
#include "profiles/names.h"
#include "profiles/profile_tree.h"
#include "tempdir.h"

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;

static const char *const many_players = "many";
static const std::string heavy_player = std::string(profiles_dir) + "/heavy";
static const int players = 10000, groups = 200, records = 500;

static void build_trees()
{
	for (int i = 0; i < players; i++)
		fs::create_directories(fs::path(many_players) /
		                       ("Player" + std::to_string(i * 7919 % players)));
	for (int g = 0; g < groups; g++)
		make_records(fs::path(heavy_player) / ("pack" + std::to_string(g)), records);
}

static int bare_count(const char *path)
{
	Dir dir(opendir(path));
	int n = 0;

	if (!dir)
		return 0;
	while (const dirent *e = readdir(dir.get()))
		if (!hidden(e->d_name))
			n++;
	return n;
}

static void BM_ListAndSortPlayers(benchmark::State &state)
{
	for (auto _ : state) {
		NameList list = lister_fichiers(many_players);
		benchmark::DoNotOptimize(trier_liste(list).data());
	}
	state.SetItemsProcessed(state.iterations() * players);
}
BENCHMARK(BM_ListAndSortPlayers)->Unit(benchmark::kMillisecond);

static void BM_BareReaddirPlayers(benchmark::State &state)
{
	for (auto _ : state)
		benchmark::DoNotOptimize(bare_count(many_players));
	state.SetItemsProcessed(state.iterations() * players);
}
BENCHMARK(BM_BareReaddirPlayers)->Unit(benchmark::kMillisecond);

static void BM_CountRecords(benchmark::State &state)
{
	int n = 0;
	for (auto _ : state)
		benchmark::DoNotOptimize(n = count_records("heavy"));
	if (n != groups * records)
		state.SkipWithError("wrong record count");
	state.SetItemsProcessed(state.iterations() * groups * records);
}
BENCHMARK(BM_CountRecords)->Unit(benchmark::kMillisecond);

static void BM_BareReaddirRecords(benchmark::State &state)
{
	int n = 0;
	for (auto _ : state) {
		Dir dir(opendir(heavy_player.c_str()));
		n = 0;
		while (const dirent *e = readdir(dir.get()))
			if (!hidden(e->d_name))
				n += bare_count((heavy_player + "/" + e->d_name).c_str());
		benchmark::DoNotOptimize(n);
	}
	if (n != groups * records)
		state.SkipWithError("wrong record count");
	state.SetItemsProcessed(state.iterations() * groups * records);
}
BENCHMARK(BM_BareReaddirRecords)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
	benchmark::Initialize(&argc, argv);
	if (benchmark::ReportUnrecognizedArguments(argc, argv))
		return 1;

	std::string pattern = (fs::temp_directory_path() / "trovik-bench-XXXXXX").string();
	if (!mkdtemp(pattern.data())) {
		std::perror("mkdtemp");
		return 1;
	}
	fs::path scratch = pattern, previous = fs::current_path();
	int status = 0;
	try {
		fs::current_path(scratch);
		build_trees();
		benchmark::RunSpecifiedBenchmarks();
	} catch (const std::exception &e) {
		std::fprintf(stderr, "%s\n", e.what());
		status = 1;
	}
	benchmark::Shutdown();
	std::error_code ec;
	fs::current_path(previous, ec);
	fs::remove_all(scratch, ec);
	return status;
}
