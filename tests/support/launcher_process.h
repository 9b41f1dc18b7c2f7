// The real gtktrovik, run as a user would: its own process, started in a
// working directory of the test's, on the test's display.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class LauncherProcess {
public:
	// Starts the launcher in `workdir`, on `display` when one is given;
	// standard output goes to a file of its own.
	explicit LauncherProcess(const std::filesystem::path &workdir,
	                         const std::string &display = {});
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

// An X server of the test's own (Xvfb), for conditions the usual display
// does not have; ended with the object.
class VirtualDisplay {
public:
	explicit VirtualDisplay(const std::vector<std::string> &options);
	~VirtualDisplay();
	VirtualDisplay(const VirtualDisplay &) = delete;
	VirtualDisplay &operator=(const VirtualDisplay &) = delete;

	const std::string &name() const { return name_; } // ":N", empty on failure

private:
	pid_t pid_ = -1;
	std::string name_;
};

struct LauncherResult {
	int status;
	std::string output;
};

// Runs the launcher in `workdir` until it ends by itself; a launcher still
// running after `timeout` is killed and reported with status -1.
LauncherResult run_launcher(const std::filesystem::path &workdir,
                            std::chrono::milliseconds timeout = std::chrono::seconds(20));
