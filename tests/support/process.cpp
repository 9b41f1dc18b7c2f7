#include "process.h"
#include "wait.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char **environ;

namespace fs = std::filesystem;

const ProcessOptions quietly = {{}, {}, true};

namespace {

// The test's environment with the entries of `changes` in place of theirs.
std::vector<std::string> environment(const std::vector<std::string> &changes)
{
	std::vector<std::string> env = changes;
	for (char **e = environ; *e; e++) {
		std::string name = std::string(*e).substr(0, std::string(*e).find('=') + 1);
		if (std::none_of(changes.begin(), changes.end(),
		                 [&](const std::string &c) { return c.rfind(name, 0) == 0; }))
			env.push_back(*e);
	}
	return env;
}

std::vector<char *> pointers(std::vector<std::string> &strings)
{
	std::vector<char *> p;
	for (std::string &s : strings)
		p.push_back(s.data());
	p.push_back(nullptr);
	return p;
}

struct SpawnActions {
	SpawnActions() { posix_spawn_file_actions_init(&actions); }
	~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
	posix_spawn_file_actions_t actions;
};

} // namespace

Process::Process(const std::vector<std::string> &argv, const ProcessOptions &options)
{
	SpawnActions a;
	std::string out = (scratch_ / "stdout").string();
	posix_spawn_file_actions_addopen(&a.actions, STDOUT_FILENO, out.c_str(),
	                                 O_WRONLY | O_CREAT | O_TRUNC, 0600);
	if (options.quiet)
		posix_spawn_file_actions_addopen(&a.actions, STDERR_FILENO, "/dev/null", O_WRONLY,
		                                 0);
	if (!options.workdir.empty())
		posix_spawn_file_actions_addchdir_np(&a.actions, options.workdir.c_str());
	std::vector<std::string> args = argv, env = environment(options.env);
	std::vector<char *> arg_p = pointers(args), env_p = pointers(env);
	write_file(out, "");
	if (posix_spawnp(&pid_, arg_p[0], &a.actions, nullptr, arg_p.data(), env_p.data()) != 0)
		status_ = 127;
}

std::optional<int> Process::wait(std::chrono::milliseconds timeout)
{
	int raw;
	wait_until(
	        [&] {
		        if (!status_ && waitpid(pid_, &raw, WNOHANG) == pid_)
			        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
		        return status_.has_value();
	        },
	        timeout);
	return status_;
}

void Process::kill(int signal)
{
	if (running()) {
		::kill(pid_, signal);
		if (!wait(std::chrono::seconds(5)) && signal != SIGKILL)
			kill(SIGKILL);
	}
}

ProcessResult run_process(const std::vector<std::string> &argv, std::chrono::milliseconds timeout,
                          const ProcessOptions &options)
{
	Process p(argv, options);
	std::optional<int> status = p.wait(timeout);
	p.kill();
	return {status ? *status : -1, p.output()};
}

static ProcessOptions in_dir(const fs::path &workdir, const std::string &display,
                             const std::vector<std::string> &env = {})
{
	ProcessOptions options;
	options.workdir = workdir;
	options.env = env;
	if (!display.empty())
		options.env.push_back("DISPLAY=" + display);
	return options;
}

LauncherProcess::LauncherProcess(const fs::path &workdir, const std::string &display,
                                 const std::vector<std::string> &env)
    : Process({GTKTROVIK_BIN}, in_dir(workdir, display, env))
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
	std::vector<std::string> args = {"Xvfb",      "-displayfd", std::to_string(fds[1]),
	                                 "-nolisten", "tcp",        "-screen",
	                                 "0",         "1024x768x24"};
	args.insert(args.end(), options.begin(), options.end());
	server_ = std::make_unique<Process>(args, quietly);
	close(fds[1]);
	// The server writes its display number once it accepts connections.
	std::string number;
	for (char c; read(fds[0], &c, 1) == 1 && c != '\n';)
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
