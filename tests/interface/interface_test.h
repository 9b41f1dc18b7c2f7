// What the interface file's tests share.
#pragma once

#include <string>

bool have_display();

// The file at `path` under the source tree, whole.
std::string source_file(const std::string &path);
