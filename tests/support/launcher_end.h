// The launcher's end as the tests see it. The test programs are linked
// with the launcher's end_process() wrapped (tests/CMakeLists.txt): a
// handler that ends the launcher records its status here, and the test
// goes on in the same process to look at what it left.
#pragma once

#include <optional>

// The status the launcher ended with since the last call; nothing when it
// did not end.
std::optional<int> take_launcher_end();
