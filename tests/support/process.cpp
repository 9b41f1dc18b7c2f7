#include "process.h"
#include "tempdir.h"
#include "wait.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

extern char **environ;

namespace fs = std::filesystem;

namespace {

// The test's environment with the entries of `changes` in place of theirs.
std::vector<std::string> environment(const std::vector<std::string> &changes)
{
	auto changed = [&](const std::string &entry) {
		std::string name = entry.substr(0, entry.find('=') + 1);
		for (const std::string &c : changes)
			if (c.compare(0, name.size(), name) == 0)
				return true;
		return false;
	};
	std::vector<std::string> env;
	for (char **e = environ; *e; e++)
		if (!changed(*e))
			env.push_back(*e);
	env.insert(env.end(), changes.begin(), changes.end());
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

class SpawnActions {
public:
	SpawnActions() { posix_spawn_file_actions_init(&actions_); }
	~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
	SpawnActions(const SpawnActions &) = delete;
	SpawnActions &operator=(const SpawnActions &) = delete;
	posix_spawn_file_actions_t *get() { return &actions_; }

private:
	posix_spawn_file_actions_t actions_;
};

} // namespace

Process::Process(const std::vector<std::string> &argv, const ProcessOptions &options)
{
	std::string pattern = (fs::temp_directory_path() / "trovik-out-XXXXXX").string();
	int fd = mkstemp(pattern.data());
	if (fd < 0)
		throw std::runtime_error("mkstemp failed");
	outfile_ = pattern;

	SpawnActions actions;
	posix_spawn_file_actions_adddup2(actions.get(), fd, STDOUT_FILENO);
	posix_spawn_file_actions_addclose(actions.get(), fd);
	if (options.quiet)
		posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, "/dev/null", O_WRONLY, 0);
	if (!options.workdir.empty())
		posix_spawn_file_actions_addchdir_np(actions.get(), options.workdir.c_str());
	std::vector<std::string> args = argv, env = environment(options.env);
	std::vector<char *> arg_p = pointers(args), env_p = pointers(env);
	if (posix_spawnp(&pid_, arg_p[0], actions.get(), nullptr, arg_p.data(), env_p.data()) != 0) {
		pid_ = -1;
		status_ = 127;
	}
	close(fd);
}

Process::~Process()
{
	kill();
	std::error_code ec;
	fs::remove(outfile_, ec);
}

bool Process::reaped()
{
	int raw;
	if (!status_ && waitpid(pid_, &raw, WNOHANG) == pid_)
		status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
	return status_.has_value();
}

std::optional<int> Process::wait(std::chrono::milliseconds timeout)
{
	wait_until([&] { return reaped(); }, timeout);
	return status_;
}

bool Process::running()
{
	return !reaped();
}

void Process::kill(int signal)
{
	if (running()) {
		::kill(pid_, signal);
		if (!wait(std::chrono::seconds(5)) && signal != SIGKILL) {
			::kill(pid_, SIGKILL);
			wait(std::chrono::seconds(5));
		}
	}
}

std::string Process::output() const
{
	return read_file(outfile_);
}

ProcessResult run_process(const std::vector<std::string> &argv, std::chrono::milliseconds timeout,
                          const ProcessOptions &options)
{
	Process p(argv, options);
	std::optional<int> status = p.wait(timeout);
	p.kill();
	return {status ? *status : -1, p.output()};
}
