// The helpers the windows share, for the files that take them all at once;
// each lives in a file of its own.
#pragma once

#include "base/combo_box.h"
#include "base/displayable.h"
#include "base/message_dialog.h"
