// What the launcher needs of the operating system, in one place: the
// launcher was born on another platform, and these are the few calls that
// have no portable spelling.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Ticks per second of performance_counter(): the rate of the PC's classic
// high-resolution counter. The banner's wave speed is proportional to it
// (ticks are never converted to seconds), so a faster clock would spin the
// wave into noise.
constexpr std::int64_t performance_counter_rate = 3579545;

// A monotonic tick count at performance_counter_rate.
std::int64_t performance_counter();

// Ends the process with `status`.
void end_process(int status);

// Lets go of the console the process was started from. A console window
// exists only where the launcher was built as a console program; X
// programs have none, so there is nothing to do here.
void detach_console();

// Starts the executable `path` with `argv` (argv[0] included), in the
// working directory, in a session of its own, without a shell and without
// waiting for it. Returns 0, or the errno value of why it could not start
// (exec's own: ENOEXEC for a file that is no program, ENOENT for a missing
// script interpreter).
int start_program(const std::string &path, const std::vector<std::string> &argv);
