// Following profils on disk while the main window lives, whatever becomes
// of it: entries made or removed by other programs, profils removed and made
// again, a link to it pointed elsewhere, no file monitor to be had.
#pragma once

#include "profiles/names.h"

// Calls `changed` once for each burst of changes, until stopped.
void follow_profiles(void (*changed)());
void stop_following_profiles();

// The listing the list was built from: without a file monitor, a change
// is a listing that differs from it.
void note_listing(const NameList &names);

// The list was rebuilt meanwhile: the call for changes already seen is
// not needed.
void drop_pending_change();
