// What the closed "resolution" selector shows: the popup lists the
// resolutions under headings that name their mode, the closed selector has
// only the one item, so it names the mode beside it.
#pragma once

#include <string>

// The text shown for `item` at `position`: "640x480 — plein écran" for a
// full-screen row, "640x480 — fenêtre" for a windowed one, other rows as
// they are.
std::string closed_resolution_text(int position, const std::string &item);
