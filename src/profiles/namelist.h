// The names a directory holds, as the profile code lists and sorts them.
#pragma once

#include <string>
#include <vector>

using NameList = std::vector<std::string>;

// Every entry of `path` but the hidden ones, in the order the directory
// gives them; empty when `path` cannot be read.
NameList lister_fichiers(const std::string &path);
// A-Z folded to a-z, bytes compared unsigned, a prefix first; names equal
// after folding keep their order.
NameList &trier_liste(NameList &list);
