// One window of a libglade 2 file as GtkBuilder XML for GTK 3, built as
// libglade would have built it on GTK+ 2: what GTK 3 lacks is left out,
// what it renamed is renamed, and what libglade did beyond setting
// properties (combo box items, response ids, adjustments written as text,
// packing defaults, each widget named after its id) is written out.
#pragma once

#include "interface/class_catalog.h"
#include "interface/class_map.h"
#include "interface/glade_file.h"

#include <optional>
#include <string>
#include <string_view>

// The widget `root_id` of `file`, a top-level one or any other, with all it
// holds, as a GtkBuilder <interface> document; nothing when the file has no
// such widget or GTK 3 no class to build it from.
std::optional<std::string> builder_xml(const GladeFile &file, std::string_view root_id,
                                       const ClassCatalog &catalog);
