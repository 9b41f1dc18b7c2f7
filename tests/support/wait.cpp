#include "wait.h"

#include <thread>

bool wait_until(const std::function<bool()> &done, std::chrono::milliseconds timeout,
                const std::function<void()> &between)
{
	auto deadline = std::chrono::steady_clock::now() + timeout;
	while (!done()) {
		if (std::chrono::steady_clock::now() >= deadline)
			return false;
		if (between)
			between();
		else
			std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
	return true;
}
