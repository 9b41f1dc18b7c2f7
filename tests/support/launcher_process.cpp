#include "launcher_process.h"
#include "tempdir.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

extern char **environ;

namespace fs = std::filesystem;

LauncherProcess::LauncherProcess(const fs::path &workdir, const std::string &display)
{
	std::string pattern = (fs::temp_directory_path() / "trovik-out-XXXXXX").string();
	int fd = mkstemp(pattern.data());
	if (fd < 0)
		throw std::runtime_error("mkstemp failed");
	outfile_ = pattern;

	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, fd, STDOUT_FILENO);
	posix_spawn_file_actions_addclose(&actions, fd);
	posix_spawn_file_actions_addchdir_np(&actions, workdir.c_str());
	std::string bin = GTKTROVIK_BIN;
	char *argv[] = {bin.data(), nullptr};
	std::vector<std::string> env_strings;
	for (char **e = environ; *e; e++)
		if (display.empty() || std::string(*e).rfind("DISPLAY=", 0) != 0)
			env_strings.push_back(*e);
	if (!display.empty())
		env_strings.push_back("DISPLAY=" + display);
	std::vector<char *> env;
	for (std::string &e : env_strings)
		env.push_back(e.data());
	env.push_back(nullptr);
	int rc = posix_spawn(&pid_, bin.c_str(), &actions, nullptr, argv, env.data());
	posix_spawn_file_actions_destroy(&actions);
	close(fd);
	if (rc != 0)
		throw std::runtime_error("cannot start " + bin);
}

LauncherProcess::~LauncherProcess()
{
	kill();
	std::error_code ec;
	fs::remove(outfile_, ec);
}

static int decode_status(int raw)
{
	if (WIFEXITED(raw))
		return WEXITSTATUS(raw);
	return 128 + WTERMSIG(raw);
}

std::optional<int> LauncherProcess::wait(std::chrono::milliseconds timeout)
{
	auto deadline = std::chrono::steady_clock::now() + timeout;
	while (!status_) {
		int raw;
		pid_t r = waitpid(pid_, &raw, WNOHANG);
		if (r == pid_)
			status_ = decode_status(raw);
		else if (std::chrono::steady_clock::now() >= deadline)
			break;
		else
			std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
	return status_;
}

bool LauncherProcess::running()
{
	return !wait(std::chrono::milliseconds(0));
}

void LauncherProcess::kill()
{
	if (pid_ > 0 && running()) {
		::kill(pid_, SIGKILL);
		wait(std::chrono::seconds(5));
	}
}

std::string LauncherProcess::output() const
{
	return read_file(outfile_);
}

LauncherResult run_launcher(const fs::path &workdir, std::chrono::milliseconds timeout)
{
	LauncherProcess p(workdir);
	std::optional<int> status = p.wait(timeout);
	p.kill();
	return {status ? *status : -1, p.output()};
}

VirtualDisplay::VirtualDisplay(const std::vector<std::string> &options)
{
	int fds[2];
	if (pipe(fds) != 0)
		return;
	std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1]),
	                                 "-nolisten", "tcp", "-screen", "0", "1024x768x24"};
	args.insert(args.end(), options.begin(), options.end());
	std::vector<char *> argv;
	for (std::string &a : args)
		argv.push_back(a.data());
	argv.push_back(nullptr);
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addclose(&actions, fds[0]);
	posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
	if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ) != 0)
		pid_ = -1;
	posix_spawn_file_actions_destroy(&actions);
	close(fds[1]);
	// The server writes its display number once it accepts connections.
	std::string number;
	char c;
	while (pid_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
		number += c;
	close(fds[0]);
	if (!number.empty())
		name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay()
{
	if (pid_ > 0) {
		::kill(pid_, SIGTERM);
		waitpid(pid_, nullptr, 0);
	}
}
