#include "base/displayable.h"

#include "base/glib_ptr.h"

std::string displayable(const std::string &name)
{
	return GCharPtr(g_utf8_make_valid(name.c_str(), -1)).get();
}
