// Programs the tests run, the launcher among them, each a process of its
// own started from an argument vector: nothing reaches a shell.
#pragma once

#include "tempdir.h"

#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct ProcessOptions {
	std::filesystem::path workdir; // empty: the test's own
	std::vector<std::string> env;  // "NAME=value", each in place of the test's NAME
	bool quiet = false;            // standard error to /dev/null
};
extern const ProcessOptions quietly;

// Standard output goes to a scratch file, readable at any time. A program
// that cannot be started ends at once with 127.
class Process {
public:
	// argv[0] is looked up in PATH unless it holds a '/'.
	explicit Process(const std::vector<std::string> &argv, const ProcessOptions &options = {});
	~Process() { kill(); }
	Process(const Process &) = delete;
	Process &operator=(const Process &) = delete;

	pid_t pid() const { return pid_; }
	// The exit status once the process has ended within `timeout`: the
	// status from exit(), or 128 + the signal that ended it.
	std::optional<int> wait(std::chrono::milliseconds timeout);
	bool running() { return !wait(std::chrono::milliseconds(0)); }
	// Sends `signal` and waits for the end.
	void kill(int signal = SIGKILL);
	// Everything the process wrote to standard output so far.
	std::string output() const { return read_file(scratch_ / "stdout"); }

private:
	TempDir scratch_;
	pid_t pid_ = -1;
	std::optional<int> status_;
};

struct ProcessResult {
	int status; // as Process::wait gives it; -1 when killed at the timeout
	std::string output;
};

// Runs a program to its end; one still running after `timeout` is killed.
ProcessResult run_process(const std::vector<std::string> &argv,
                          std::chrono::milliseconds timeout = std::chrono::seconds(20),
                          const ProcessOptions &options = {});

// The real gtktrovik, run as a user would, in a working directory of the
// test's, on `display` when one is given.
class LauncherProcess : public Process {
public:
	explicit LauncherProcess(const std::filesystem::path &workdir,
	                         const std::string &display = {},
	                         const std::vector<std::string> &env = {});
};

// Runs the launcher in `workdir` until it ends by itself; a launcher still
// running after `timeout` is killed and reported with status -1.
ProcessResult run_launcher(const std::filesystem::path &workdir,
                           std::chrono::milliseconds timeout = std::chrono::seconds(20));

// An X server of the test's own (Xvfb), for conditions the usual display
// does not have; ended with the object.
class VirtualDisplay {
public:
	explicit VirtualDisplay(const std::vector<std::string> &options);
	~VirtualDisplay();

	const std::string &name() const { return name_; } // ":N", empty on failure

private:
	std::unique_ptr<Process> server_;
	std::string name_;
};
