// Waiting for what another process, the X server or the main loop brings
// about: every test polls through here.
#pragma once

#include <chrono>
#include <functional>

// Checks `done` until it holds or `timeout` has passed, running `between`
// from one check to the next (by default a pause of a few milliseconds);
// whether it held.
bool wait_until(const std::function<bool()> &done,
                std::chrono::milliseconds timeout = std::chrono::seconds(10),
                const std::function<void()> &between = {});
