// The real gtktrovik, run as a user would: its own process, started in a
// working directory of the test's, on the test's display.
#pragma once

#include "process.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class LauncherProcess : public Process {
public:
	// Starts the launcher in `workdir`, on `display` when one is given.
	explicit LauncherProcess(const std::filesystem::path &workdir,
	                         const std::string &display = {});
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
	std::unique_ptr<Process> server_;
	std::string name_;
};

// Runs the launcher in `workdir` until it ends by itself; a launcher still
// running after `timeout` is killed and reported with status -1.
ProcessResult run_launcher(const std::filesystem::path &workdir,
                           std::chrono::milliseconds timeout = std::chrono::seconds(20));
