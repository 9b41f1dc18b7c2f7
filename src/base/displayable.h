// Names as a window shows them.
#pragma once

#include <string>

// Names are any bytes but '/' and NUL; what the window shows of one is made
// valid UTF-8, so that a stray byte cannot garble it.
std::string displayable(const std::string &name);
