// Game directories for the benchmarks, in the temporary directory: the
// interface file and texture of this source tree, and profiles made up.
#pragma once

#include "tempdir.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace bench {

namespace fs = std::filesystem;

// The interface file and texture laid (again) into `dir`, which may
// change between builds.
inline fs::path with_game_files(const fs::path &dir)
{
	fs::create_directories(dir / "textures");
	fs::copy_file(fs::path(TROVIK_SOURCE_DIR) / "data/gtktrovik.glade", dir / "gtktrovik.glade",
	              fs::copy_options::overwrite_existing);
	fs::copy_file(fs::path(TROVIK_SOURCE_DIR) / "data/textures/image.tga",
	              dir / "textures/image.tga", fs::copy_options::overwrite_existing);
	fs::copy_file(fs::path(TROVIK_SOURCE_DIR) / "data/icons/64x64/gtktrovik.png",
	              dir / "gtktrovik.png", fs::copy_options::overwrite_existing);
	return dir;
}

// A game directory whose profils holds `players` players; with `records`,
// the first of them in sorted order, "champion", holds that many records in
// groups of 500. The tree is built once and kept for later runs.
inline fs::path game_dir_with(int players, int records)
{
	fs::path dir =
	        fs::temp_directory_path() / ("trovik-bench-" + std::to_string(players) +
	                                     "-players-" + std::to_string(records) + "-records");
	fs::path built = dir / "profils-built";
	if (!fs::exists(built)) {
		fs::remove_all(dir);
		fs::create_directories(dir / "profils");
		for (int i = records ? 1 : 0; i < players; i++) {
			char player[32];
			std::snprintf(player, sizeof player, "joueur%05d", i);
			fs::create_directory(dir / "profils" / player);
		}
		for (int r = 0; r < records; r += 500)
			make_records(dir / "profils/champion" / ("pack" + std::to_string(r / 500)),
			             std::min(500, records - r));
		write_file(built, "");
	}
	return with_game_files(dir);
}

} // namespace bench
