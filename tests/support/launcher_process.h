// The real gtktrovik, run as a user would: its own process, started in a
// working directory of the test's, on the test's display.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

class LauncherProcess {
public:
	// Starts the launcher in `workdir`; standard output goes to a file of its own.
	explicit LauncherProcess(const std::filesystem::path &workdir);
	~LauncherProcess();
	LauncherProcess(const LauncherProcess &) = delete;
	LauncherProcess &operator=(const LauncherProcess &) = delete;

	pid_t pid() const { return pid_; }
	// The exit status once the process has ended within `timeout`: the
	// status from exit(), or 128 + the signal that ended it.
	std::optional<int> wait(std::chrono::milliseconds timeout);
	bool running();
	void kill();
	// Everything the process wrote to standard output so far.
	std::string output() const;

private:
	pid_t pid_ = -1;
	std::optional<int> status_;
	std::filesystem::path outfile_;
};

struct LauncherResult {
	int status;
	std::string output;
};

// Runs the launcher in `workdir` until it ends by itself; a launcher still
// running after `timeout` is killed and reported with status -1.
LauncherResult run_launcher(const std::filesystem::path &workdir,
                            std::chrono::milliseconds timeout = std::chrono::seconds(20));
