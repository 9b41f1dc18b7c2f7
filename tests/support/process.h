// Programs the tests run, each a process of its own started from an
// argument vector: nothing reaches a shell.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct ProcessOptions {
	std::filesystem::path workdir;   // empty: the test's own
	std::vector<std::string> env;    // "NAME=value", each in place of the test's NAME
	bool quiet = false;              // standard error to /dev/null
};

// Standard output goes to a scratch file of the process's own, readable
// at any time. A program that cannot be started ends at once with 127.
class Process {
public:
	// argv[0] is looked up in PATH unless it holds a '/'.
	explicit Process(const std::vector<std::string> &argv, const ProcessOptions &options = {});
	~Process();
	Process(const Process &) = delete;
	Process &operator=(const Process &) = delete;

	pid_t pid() const { return pid_; }
	// The exit status once the process has ended within `timeout`: the
	// status from exit(), or 128 + the signal that ended it.
	std::optional<int> wait(std::chrono::milliseconds timeout);
	bool running();
	// Sends `signal` and waits for the end.
	void kill(int signal = SIGKILL);
	// Everything the process wrote to standard output so far.
	std::string output() const;

private:
	bool reaped();

	pid_t pid_ = -1;
	std::optional<int> status_;
	std::filesystem::path outfile_;
};

struct ProcessResult {
	int status; // as Process::wait gives it; -1 when killed at the timeout
	std::string output;
};

// Runs a program to its end; one still running after `timeout` is killed.
ProcessResult run_process(const std::vector<std::string> &argv,
                          std::chrono::milliseconds timeout = std::chrono::seconds(20),
                          const ProcessOptions &options = {});
