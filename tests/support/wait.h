// Waiting for what another process, the X server or the main loop brings
// about: every test polls through here.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Checks `done` until it holds or `timeout` has passed, running `between`
// from one check to the next (by default a pause of a few milliseconds);
// whether it held.
inline bool wait_until(const std::function<bool()> &done,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10),
                       const std::function<void()> &between = {})
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
