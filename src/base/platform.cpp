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

int start_program(const std::string &path, const std::vector<std::string> &argv)
{
	std::vector<char *> args;
	for (const std::string &a : argv)
		args.push_back(const_cast<char *>(a.c_str()));
	args.push_back(nullptr);

	// posix_spawn reports a file exec refuses (ENOEXEC) instead of handing it
	// to /bin/sh, as g_spawn and execvp do. The program gets a session of
	// its own, so that the end of the launcher's terminal does not end it,
	// the default signal dispositions and mask, and no descriptor but 0, 1, 2.
	posix_spawnattr_t attr;
	posix_spawnattr_init(&attr);
	sigset_t none, all;
	sigemptyset(&none);
	sigfillset(&all);
	posix_spawnattr_setsigmask(&attr, &none);
	posix_spawnattr_setsigdefault(&attr, &all);
	posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
	                                        POSIX_SPAWN_SETSIGDEF);
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addclosefrom_np(&actions, 3);

	pid_t pid;
	int error = posix_spawn(&pid, path.c_str(), &actions, &attr, args.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	posix_spawnattr_destroy(&attr);
	return error;
}
