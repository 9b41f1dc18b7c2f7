// The system's reasons in French: the launcher speaks French whatever the
// locale, and strerror or GLib would answer in the locale's language.
#pragma once

#include <string>

// A short French phrase for the errno value `error`, without a capital or a
// full stop, to stand after a colon ("accès refusé"). An uncommon value is
// named by its symbolic name ("erreur du système EXDEV").
std::string french_reason(int error);

// The same for a directory opened by its own path, where ENOTDIR means that
// the path names something other than a directory ("ce n'est pas un
// dossier").
std::string french_dir_reason(int error);
