// The interface file, read and parsed once at start-up: every window is
// built from this copy, so a file removed or replaced while the launcher
// runs (an upgrade) cannot take a sub-window, or the process, down with it.
#pragma once

#include "interface/glade_file.h"

#include <cstddef>
#include <string>

inline constexpr const char *interface_file = "gtktrovik.glade";
inline constexpr const char *interface_error = "zelk.glade loading error\n";

// Far above any real interface file, which is some tens of kilobytes: a
// longer one is no interface file, and must not take the memory with it.
inline constexpr std::size_t interface_file_limit = 4 * 1024 * 1024;

// Reads and parses the file; ends the process with interface_error when it
// is no regular file of at most interface_file_limit bytes, cannot be
// read, or is no libglade 2 file.
const GladeFile &zelk_interface_read();

// The file as read by zelk_interface_read(): its text, and its widgets.
const std::string &interface_text();
const GladeFile &interface_parsed();

// The launcher's two failure lines, on standard output, and status 1.
[[noreturn]] void zelk_gui_error(const char *message);
[[noreturn]] void zelk_widget_missing(const char *id);
