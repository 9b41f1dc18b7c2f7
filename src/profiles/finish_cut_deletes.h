// Deletes the user confirmed but that a launcher killed meanwhile did not
// finish are finished at the next start, behind the window.
#pragma once

// Starts finishing them in the main loop's spare time, while the main
// window lives; nothing is shown, the user asked for them already.
void finish_cut_deletes();
