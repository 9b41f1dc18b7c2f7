// GTK 3's own answers about its classes, through GObject introspection. It
// needs no display: classes are only looked at, never instantiated.
#pragma once

#include "interface/class_catalog.h"

#include <memory>

std::unique_ptr<ClassCatalog> gtk3_catalog();
