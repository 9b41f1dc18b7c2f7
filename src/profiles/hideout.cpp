#include "profiles/hideout.h"

#include <cstring>
#include <random>

static const char hideout_prefix[] = ".suppression-";
static const char hideout_letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
static const std::size_t hideout_letter_count = 6;

std::string hideout_name()
{
	std::random_device source;
	std::uniform_int_distribution<int> pick(0, sizeof hideout_letters - 2);
	std::string name = hideout_prefix;

	for (std::size_t i = 0; i < hideout_letter_count; i++)
		name += hideout_letters[pick(source)];
	return name;
}

bool is_hideout_name(std::string_view name)
{
	std::string_view prefix = hideout_prefix;

	if (name.size() != prefix.size() + hideout_letter_count ||
	    name.substr(0, prefix.size()) != prefix)
		return false;
	for (char c : name.substr(prefix.size()))
		if (c == '\0' || !std::strchr(hideout_letters, c))
			return false;
	return true;
}
