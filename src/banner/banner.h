// The banner as the main window holds it: the GL area at the top of a box,
// redrawn at about the screen's rate while its window is on screen.
#pragma once

#include <gtk/gtk.h>

namespace banner {

// Frames a second the banner asks for, whatever the GL's own swap pacing.
inline constexpr int frames_per_second = 60;

// Makes the GL area, packs it first in `box` with expand and fill, shows it
// and returns it. While the box's toplevel window is mapped and not
// iconified, the area is redrawn frames_per_second times a second; while it
// is not, nothing runs at all. The pacing ends with the area.
GtkWidget *add_to_top(GtkWidget *box);

} // namespace banner
