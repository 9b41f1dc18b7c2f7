#include "launcher_process.h"

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

static ProcessOptions in_dir(const fs::path &workdir, const std::string &display)
{
	ProcessOptions options;
	options.workdir = workdir;
	if (!display.empty())
		options.env = {"DISPLAY=" + display};
	return options;
}

LauncherProcess::LauncherProcess(const fs::path &workdir, const std::string &display)
	: Process({GTKTROVIK_BIN}, in_dir(workdir, display))
{
}

ProcessResult run_launcher(const fs::path &workdir, std::chrono::milliseconds timeout)
{
	return run_process({GTKTROVIK_BIN}, timeout, in_dir(workdir, {}));
}

VirtualDisplay::VirtualDisplay(const std::vector<std::string> &options)
{
	int fds[2];
	if (pipe(fds) != 0)
		return;
	fcntl(fds[0], F_SETFD, FD_CLOEXEC);
	std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1]),
	                                 "-nolisten", "tcp", "-screen", "0", "1024x768x24"};
	args.insert(args.end(), options.begin(), options.end());
	ProcessOptions quiet;
	quiet.quiet = true;
	server_ = std::make_unique<Process>(args, quiet);
	close(fds[1]);
	// The server writes its display number once it accepts connections.
	std::string number;
	char c;
	while (read(fds[0], &c, 1) == 1 && c != '\n')
		number += c;
	close(fds[0]);
	if (!number.empty())
		name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay()
{
	if (server_)
		server_->kill(SIGTERM);
}
