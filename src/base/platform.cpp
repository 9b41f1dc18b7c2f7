#include "base/platform.h"

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

std::int64_t performance_counter()
{
	timespec ts;
	clock_gettime(CLOCK_MONOTONIC, &ts);
	// Split so that neither product can overflow 64 bits.
	return std::int64_t(ts.tv_sec) * performance_counter_rate +
	       std::int64_t(ts.tv_nsec) * performance_counter_rate / 1000000000;
}

void end_process(int status)
{
	std::exit(status);
}

void detach_console()
{
}

namespace {

// What posix_spawn is given, each destroyed with its owner; `error` is
// what making it returned.
struct SpawnAttributes {
	posix_spawnattr_t attr;
	int error = posix_spawnattr_init(&attr);
	~SpawnAttributes()
	{
		if (!error)
			posix_spawnattr_destroy(&attr);
	}
};

struct SpawnActions {
	posix_spawn_file_actions_t actions;
	int error = posix_spawn_file_actions_init(&actions);
	~SpawnActions()
	{
		if (!error)
			posix_spawn_file_actions_destroy(&actions);
	}
};

} // namespace

// A session of its own, so that the end of the launcher's terminal does not
// end the program, and the default signal dispositions and mask. Returns 0
// or the errno value of the first call that failed.
static int own_session_default_signals(posix_spawnattr_t &attr)
{
	sigset_t none, all;
	sigemptyset(&none);
	sigfillset(&all);
	if (int error = posix_spawnattr_setsigmask(&attr, &none))
		return error;
	if (int error = posix_spawnattr_setsigdefault(&attr, &all))
		return error;
	return posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
	                                               POSIX_SPAWN_SETSIGDEF);
}

// posix_spawn reports a file exec refuses (ENOEXEC) instead of handing it to
// /bin/sh, as g_spawn and execvp do. The program keeps no descriptor but 0,
// 1 and 2.
int start_program(const std::string &path, const std::vector<std::string> &argv)
{
	std::vector<char *> args;
	for (const std::string &a : argv)
		args.push_back(const_cast<char *>(a.c_str()));
	args.push_back(nullptr);

	SpawnAttributes attributes;
	SpawnActions files;
	int error = attributes.error ? attributes.error : files.error;
	if (!error)
		error = own_session_default_signals(attributes.attr);
	if (!error)
		error = posix_spawn_file_actions_addclosefrom_np(&files.actions, 3);
	if (error)
		return error;
	pid_t pid;
	return posix_spawn(&pid, path.c_str(), &files.actions, &attributes.attr, args.data(),
	                   environ);
}
