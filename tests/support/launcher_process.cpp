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

LauncherProcess::LauncherProcess(const fs::path &workdir)
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
	int rc = posix_spawn(&pid_, bin.c_str(), &actions, nullptr, argv, environ);
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
