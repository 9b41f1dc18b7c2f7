// What a symbolic link names.
#pragma once

#include <optional>
#include <string>

// What the link `path` names, whole, however long it has grown since it was
// looked at; nothing when it is no link or cannot be read.
std::optional<std::string> link_target(const std::string &path);
