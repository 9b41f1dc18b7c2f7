#include "profiles/names.h"

#include "base/glib_ptr.h"
#include "profiles/dir.h"

#include <glib.h>

#include <algorithm>
#include <iterator>

static bool is_control(char c)
{
	unsigned char b = c;

	return b < 0x20 || b == 0x7f;
}

static unsigned char fold(unsigned char c)
{
	return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// Byte order after folding, a prefix first: the order of strcmp on
// lower-cased copies, without making the copies.
static bool folded_less(const std::string &a, const std::string &b)
{
	std::size_t n = std::min(a.size(), b.size());
	for (std::size_t i = 0; i < n; i++) {
		unsigned char ca = fold(a[i]), cb = fold(b[i]);
		if (ca != cb)
			return ca < cb;
	}
	return a.size() < b.size();
}

// The characters of `name`, each with what it is; bytes that are not UTF-8
// go one at a time as (gunichar)-1.
template <typename Visit>
static void for_each_char(std::string_view name, Visit visit)
{
	const char *p = name.data(), *end = p + name.size();
	while (p < end) {
		gunichar c = g_utf8_get_char_validated(p, end - p);
		bool valid = c != gunichar(-1) && c != gunichar(-2);
		const char *next = valid ? g_utf8_next_char(p) : p + 1;
		visit(valid ? c : gunichar(-1), std::string_view(p, next - p));
		p = next;
	}
}

// A format character draws nothing, or turns the text around it: "alice",
// a right-to-left override and "evil" show as "alicelive".
static bool is_format(gunichar c)
{
	return c != gunichar(-1) && g_unichar_type(c) == G_UNICODE_FORMAT;
}

// C0 and C1 controls: U+0085 breaks a line as surely as a line feed.
static bool has_control_char(std::string_view name)
{
	bool found = std::any_of(name.begin(), name.end(), is_control);
	for_each_char(name, [&](gunichar c, std::string_view) {
		found = found || (c != gunichar(-1) && g_unichar_type(c) == G_UNICODE_CONTROL);
	});
	return found;
}

static bool has_format_char(std::string_view name)
{
	bool found = false;
	for_each_char(name, [&](gunichar c, std::string_view) { found = found || is_format(c); });
	return found;
}

// Unicode's default-ignorable code points: drawn as nothing where a font
// has no glyph for them, beside a character they would change (a variation
// selector, the combining grapheme joiner) or alone (the Hangul fillers).
// Format characters are among them.
static bool is_ignorable(gunichar c)
{
	static const gunichar ranges[][2] = {
	        {0x00AD, 0x00AD},   {0x034F, 0x034F}, {0x061C, 0x061C},   {0x115F, 0x1160},
	        {0x17B4, 0x17B5},   {0x180B, 0x180F}, {0x200B, 0x200F},   {0x202A, 0x202E},
	        {0x2060, 0x206F},   {0x3164, 0x3164}, {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},
	        {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A},
	        {0xE0000, 0xE0FFF},
	};
	return is_format(c) || std::any_of(std::begin(ranges), std::end(ranges),
	                                   [c](auto &r) { return c >= r[0] && c <= r[1]; });
}

static bool is_space(gunichar c)
{
	return c != gunichar(-1) && g_unichar_type(c) == G_UNICODE_SPACE_SEPARATOR;
}

// How a name reads: composed, without what does not show, every kind of
// space a plain one and none at either end, where a list shows no gap.
// Text that is not UTF-8 reads as its bytes.
static std::string reading(std::string_view name)
{
	std::string shown;
	for_each_char(name, [&](gunichar c, std::string_view bytes) {
		if (is_space(c))
			shown += ' ';
		else if (!is_ignorable(c))
			shown += bytes;
	});
	GCharPtr composed(g_utf8_normalize(shown.data(), gssize(shown.size()), G_NORMALIZE_NFC));
	std::string read = composed ? std::string(composed.get()) : shown;
	std::size_t first = read.find_first_not_of(' '), last = read.find_last_not_of(' ');
	return first == std::string::npos ? std::string() : read.substr(first, last - first + 1);
}

NameProblem check_player_name(std::string_view name)
{
	if (name.empty())
		return NameProblem::empty;
	if (name == "." || name == "..")
		return NameProblem::dot_or_dotdot;
	// A NUL would end the path early in every system call.
	if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos)
		return NameProblem::separator;
	if (name[0] == '.')
		return NameProblem::leading_dot;
	if (name.size() > max_player_name)
		return NameProblem::too_long;
	// A line break or a tab in a directory name breaks every tool that
	// reads names a line at a time.
	if (has_control_char(name))
		return NameProblem::control;
	if (has_format_char(name))
		return NameProblem::invisible;
	return NameProblem::none;
}

NameProblem check_new_player_name(std::string_view name, const NameList &players)
{
	NameProblem problem = check_player_name(name);
	if (problem != NameProblem::none ||
	    std::find(players.begin(), players.end(), name) != players.end())
		return problem;
	std::string read = reading(name);
	for (const std::string &player : players)
		if (reading(player) == read)
			return NameProblem::look_alike;
	return NameProblem::none;
}

bool names_one_entry(const std::string &name)
{
	return !name.empty() && name != "." && name != ".." &&
	       name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

NameList lister_fichiers(const std::string &path)
{
	NameList list;
	Dir dir(opendir(path.c_str()));
	if (!dir)
		return list;
	while (const dirent *e = readdir(dir.get()))
		if (!hidden(e->d_name))
			list.emplace_back(e->d_name);
	return list;
}

// Names equal after folding (Bob, bob) keep their listing order, as with an
// exchange sort that swaps only on "greater".
NameList &trier_liste(NameList &list)
{
	std::stable_sort(list.begin(), list.end(), folded_less);
	return list;
}
