#include "tempdir.h"

#include <sys/fsuid.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

TempDir::TempDir()
{
	std::string pattern = (fs::temp_directory_path() / "trovik-test-XXXXXX").string();
	if (!mkdtemp(pattern.data()))
		throw std::runtime_error("mkdtemp failed");
	path_ = pattern;
}

TempDir::~TempDir()
{
	std::error_code ec;
	// A test may have left directories without write permission behind.
	for (auto it = fs::recursive_directory_iterator(path_, ec);
	     !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
		if (it->is_directory(ec) && !it->is_symlink(ec))
			fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add,
			                ec);
	fs::remove_all(path_, ec);
}

static const uid_t nobody = 65534;

static uid_t file_user()
{
	return geteuid() == 0 ? nobody : geteuid();
}

AsFileUser::AsFileUser()
{
	if (geteuid() == 0) {
		setfsgid(nobody);
		setfsuid(nobody);
	}
}

AsFileUser::~AsFileUser()
{
	setfsuid(geteuid());
	setfsgid(getegid());
}

void give_to_file_user(const fs::path &top)
{
	if (lchown(top.c_str(), file_user(), -1) != 0)
		throw std::runtime_error("cannot give away " + top.string());
	for (const fs::directory_entry &e : fs::recursive_directory_iterator(top))
		if (lchown(e.path().c_str(), file_user(), -1) != 0)
			throw std::runtime_error("cannot give away " + e.path().string());
}

ScopedChdir::ScopedChdir(const fs::path &dir) : previous_(fs::current_path())
{
	fs::current_path(dir);
}

ScopedChdir::~ScopedChdir()
{
	std::error_code ec;
	fs::current_path(previous_, ec);
}

fs::path source_dir()
{
	return TROVIK_SOURCE_DIR;
}

void write_file(const fs::path &file, const std::string &bytes)
{
	std::ofstream out(file, std::ios::binary | std::ios::trunc);
	out << bytes;
	if (!out)
		throw std::runtime_error("cannot write " + file.string());
}

void make_records(const fs::path &group, int n)
{
	fs::create_directories(group);
	for (int i = 0; i < n; i++)
		write_file(group / ("r" + std::to_string(i)), "");
}

std::string read_file(const fs::path &file)
{
	std::ifstream in(file, std::ios::binary);
	if (!in)
		throw std::runtime_error("cannot read " + file.string());
	std::ostringstream s;
	s << in.rdbuf();
	return s.str();
}

void lay_out_game_dir(const fs::path &dir)
{
	fs::create_directories(dir / "textures");
	fs::create_directories(dir / "profils");
	for (auto [from, to] : {std::pair{"gtktrovik.glade", "gtktrovik.glade"},
	                        {"textures/image.tga", "textures/image.tga"},
	                        {"icons/64x64/gtktrovik.png", "gtktrovik.png"}})
		fs::copy_file(source_dir() / "data" / from, dir / to,
		              fs::copy_options::overwrite_existing);
}

// The tools are named by path: the tests give the launcher a PATH without
// Wine.
void write_stand_in_game(const fs::path &dir, const std::string &name)
{
	fs::create_directories((dir / name).parent_path());
	write_file(dir / name, "#!/bin/sh\n"
	                       "printf '%s\\0' \"$0\" \"$@\" > args.out.tmp\n"
	                       "pwd > cwd.out\n"
	                       "read -r pid comm state ppid pgrp sid rest < /proc/$$/stat\n"
	                       "echo \"$pid $pgrp $sid\" > session.out\n"
	                       "/bin/ls /proc/self/fd > fds.out\n"
	                       "/bin/mv args.out.tmp args.out\n");
	fs::permissions(dir / name, fs::perms::owner_all);
}

std::string windows_program(unsigned machine)
{
	std::string bytes = "MZ" + std::string(0x3A, '\0') + "\x40" + std::string(3, '\0');
	return bytes + std::string("PE\0\0", 4) + char(machine & 0xFF) + char(machine >> 8);
}

std::string linux_program(int bits, unsigned machine)
{
	// e_ident: magic, class, data (little-endian), version; e_type, e_machine.
	std::string bytes = "\177ELF" + std::string(1, char(bits / 32)) + "\1\1";
	return bytes + std::string(11, '\0') + char(machine & 0xFF) + char(machine >> 8);
}

void lay_out_files(const fs::path &root, const FileList &files)
{
	for (auto [name, bytes] : files) {
		fs::create_directories((root / name).parent_path());
		if (bytes.compare(0, 2, "->") == 0) {
			fs::create_symlink(bytes.substr(2), root / name);
			continue;
		}
		for (std::string::size_type at; (at = bytes.find("$ROOT")) != std::string::npos;)
			bytes.replace(at, 5, root.string());
		write_file(root / name, bytes);
		fs::permissions(root / name, fs::perms::owner_all);
	}
}

std::vector<std::string> read_stand_in_args(const fs::path &dir)
{
	std::string bytes = read_file(dir / "args.out");
	std::vector<std::string> args;
	std::string::size_type start = 0, end;
	while ((end = bytes.find('\0', start)) != std::string::npos) {
		args.push_back(bytes.substr(start, end - start));
		start = end + 1;
	}
	return args;
}

std::string snapshot_tree(const fs::path &dir)
{
	std::map<std::string, std::string> entries;
	for (auto it = fs::recursive_directory_iterator(dir);
	     it != fs::recursive_directory_iterator(); ++it) {
		const fs::path &p = it->path();
		std::string what;
		auto st = fs::symlink_status(p);
		if (fs::is_symlink(st))
			what = "link -> " + fs::read_symlink(p).string();
		else if (fs::is_directory(st))
			what = "dir";
		else if (fs::is_regular_file(st))
			what = "file of " + std::to_string(fs::file_size(p)) + " bytes, hash " +
			       std::to_string(std::hash<std::string>()(read_file(p)));
		else
			what = "other";
		entries[fs::relative(p, dir).string()] = what;
	}
	std::string out;
	for (const auto &[name, what] : entries)
		out += name + ": " + what + "\n";
	return out;
}
