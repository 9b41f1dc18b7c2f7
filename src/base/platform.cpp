#include "base/platform.h"

#include "base/glib_ptr.h"

#include <glib.h>

#include <cstdlib>
#include <ctime>
#include <memory>

std::int64_t performance_counter()
{
	timespec ts;
	clock_gettime(CLOCK_MONOTONIC, &ts);
	// Split so that neither product can overflow 64 bits.
	return std::int64_t(ts.tv_sec) * performance_counter_rate +
	       std::int64_t(ts.tv_nsec) * performance_counter_rate / 1000000000;
}

void (*end_process)(int status) = std::exit;

void detach_console()
{
}

std::string start_program(const std::string &program, const std::vector<std::string> &args)
{
	// The program runs from the working directory, never through PATH,
	// and sees its own name as argv[0], as it would on its home platform.
	std::string path = "./" + program;
	std::vector<char *> argv;
	argv.push_back(const_cast<char *>(path.c_str()));
	argv.push_back(const_cast<char *>(program.c_str()));
	for (const std::string &a : args)
		argv.push_back(const_cast<char *>(a.c_str()));
	argv.push_back(nullptr);

	GError *raw = nullptr;
	gboolean ok = g_spawn_async(nullptr, argv.data(), nullptr,
	                            GSpawnFlags(G_SPAWN_FILE_AND_ARGV_ZERO), nullptr, nullptr,
	                            nullptr, &raw);
	GErrorPtr error(raw);
	if (ok)
		return {};
	return error ? error->message : "unknown error";
}
