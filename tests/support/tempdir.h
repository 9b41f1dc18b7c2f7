// A scratch directory for one test, removed with everything below it.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

class TempDir {
public:
	TempDir();
	~TempDir();
	TempDir(const TempDir &) = delete;
	TempDir &operator=(const TempDir &) = delete;

	const std::filesystem::path &path() const { return path_; }
	std::filesystem::path operator/(const std::string &name) const { return path_ / name; }

private:
	std::filesystem::path path_;
};

// Makes the process's working directory `dir` for the lifetime of the guard:
// the launcher reads everything relative to it.
class ScopedChdir {
public:
	explicit ScopedChdir(const std::filesystem::path &dir);
	~ScopedChdir();
	ScopedChdir(const ScopedChdir &) = delete;
	ScopedChdir &operator=(const ScopedChdir &) = delete;

private:
	std::filesystem::path previous_;
};

// While it lives, files are opened, made and removed with the rights of
// an ordinary user: nobody when the tests run as root, for whom every
// permission check passes, else the tests' own.
class AsFileUser {
public:
	AsFileUser();
	~AsFileUser();
	AsFileUser(const AsFileUser &) = delete;
	AsFileUser &operator=(const AsFileUser &) = delete;
};
// Gives `top` and everything below it to that user.
void give_to_file_user(const std::filesystem::path &top);

std::filesystem::path source_dir();
void write_file(const std::filesystem::path &file, const std::string &bytes);
std::string read_file(const std::filesystem::path &file);
// `n` empty records, "r0" on, in the group directory `group`, made with
// whatever of it is missing.
void make_records(const std::filesystem::path &group, int n);

// The interface file, the texture, the icon and an empty profiles directory, as the
// launcher expects them in its working directory.
void lay_out_game_dir(const std::filesystem::path &dir);

// A stand-in for the game: a script named `name` (under `dir`) that writes
// its arguments, each ended by a NUL byte, to "args.out" in its working
// directory, its "pid pgid sid" to "session.out" and the descriptors open
// in a program it starts to "fds.out". As "bin/wine", a stand-in for Wine.
void write_stand_in_game(const std::filesystem::path &dir, const std::string &name = "trovik.exe");
// The first bytes of a Windows program: "MZ", the offset of the PE header,
// and its `machine` (0x14C for 32 bits, 0x8664 for 64).
std::string windows_program(unsigned machine);
// The first bytes of a little-endian Linux program of `bits` bits built for
// the processor `machine` (EM_AARCH64...).
std::string linux_program(int bits, unsigned machine);
// Files under `root`, each with its bytes, in which "$ROOT" stands for
// `root`, and with the execute bit; bytes "->TARGET" make a link instead.
using FileList = std::vector<std::pair<std::string, std::string>>;
void lay_out_files(const std::filesystem::path &root, const FileList &files);
// The arguments the stand-in recorded, after the path it was run by.
std::vector<std::string> read_stand_in_args(const std::filesystem::path &dir);

// Every path below `dir` with a description of what it is (type, size and
// content hash of files, target of links), to prove that nothing else changed.
std::string snapshot_tree(const std::filesystem::path &dir);
