// Names found in a directory, as the profile code lists, sorts and filters them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

using NameList = std::vector<std::string>;

NameList lister_fichiers(const std::string &path);
NameList &trier_liste(NameList &list);
int compter_liste(const NameList &list);
std::string strtolower(std::string_view text);
NameList del_elem_liste(NameList list, const std::string &name);
