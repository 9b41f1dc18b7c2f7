// An open file descriptor, closed with its owner unless released.
#pragma once

#include <unistd.h>

class Fd {
public:
	explicit Fd(int fd) : fd_(fd) {}
	~Fd()
	{
		if (fd_ >= 0)
			close(fd_);
	}
	Fd(const Fd &) = delete;
	Fd &operator=(const Fd &) = delete;

	int get() const { return fd_; }
	// Hands the descriptor over, to a stream for one.
	int release()
	{
		int fd = fd_;
		fd_ = -1;
		return fd;
	}
	explicit operator bool() const { return fd_ >= 0; }

private:
	int fd_;
};
