// Arbitrary bytes as a list of names: the list operations and the player
// name check, each against the rules restated here. Nothing touches the disk.
//
// Byte 0 separates the names, byte 1 is unused (kept so that the seed
// corpus stays valid), the rest holds the names (empty ones included).
#include "profiles/names.h"
#include "profiles/profile_texts.h"
#include "profiles/profile_tree.h"

#include <glib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#define CHECK(cond) ((cond) ? (void)0 : fail(#cond, __LINE__))

namespace fs = std::filesystem;

[[noreturn]] static void fail(const char *what, int line)
{
	std::fprintf(stderr, "names_fuzz.cpp:%d: invariant broken: %s\n", line, what);
	std::abort();
}

static unsigned char fold(unsigned char c)
{
	return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

static std::string folded(const std::string &s)
{
	std::string out;

	for (char c : s)
		out += char(fold(c));
	return out;
}

static bool byte_less(const std::string &a, const std::string &b)
{
	return std::lexicographical_compare(
	        a.begin(), a.end(), b.begin(), b.end(),
	        [](char x, char y) { return (unsigned char)x < (unsigned char)y; });
}

static NameList split(std::string_view body, char sep)
{
	NameList names;
	std::size_t from = 0;

	for (;;) {
		std::size_t at = body.find(sep, from);
		names.emplace_back(body.substr(from, at - from));
		if (at == std::string_view::npos)
			return names;
		from = at + 1;
	}
}

static std::vector<std::string> fold_all(const NameList &names)
{
	std::vector<std::string> keys;

	for (const std::string &s : names)
		keys.push_back(folded(s));
	return keys;
}

static void check_sorted(const std::vector<std::string> &keys)
{
	for (std::size_t i = 1; i < keys.size(); i++)
		CHECK(!byte_less(keys[i], keys[i - 1]));
}

// Each name of the output must be the next unused one of its folding class
// in input order: that makes the output a permutation and the sort stable.
static void check_permutation_and_stable(const NameList &in, const NameList &out,
                                         const std::vector<std::string> &out_keys)
{
	std::map<std::string, std::vector<const std::string *>> classes;
	std::map<std::string, std::size_t> used;

	CHECK(out.size() == in.size());
	for (const std::string &s : in)
		classes[folded(s)].push_back(&s);
	for (std::size_t i = 0; i < out.size(); i++) {
		auto c = classes.find(out_keys[i]);
		CHECK(c != classes.end());
		std::size_t &next = used[out_keys[i]];
		CHECK(next < c->second.size());
		CHECK(*c->second[next] == out[i]);
		next++;
	}
}

static void check_sort(const NameList &in)
{
	NameList list = in;

	CHECK(&trier_liste(list) == &list);
	std::vector<std::string> keys = fold_all(list);
	check_sorted(keys);
	check_permutation_and_stable(in, list, keys);
}

static bool has_any(std::string_view s, std::string_view bytes)
{
	return s.find_first_of(bytes) != std::string_view::npos;
}

// Some character of Unicode category `type`, among bytes that may not be UTF-8.
static bool has_char_of(std::string_view s, GUnicodeType type)
{
	for (std::size_t i = 0; i < s.size(); i++) {
		gunichar c = g_utf8_get_char_validated(s.data() + i, gssize(s.size() - i));
		if (c < 0x110000 && g_unichar_type(c) == type)
			return true;
	}
	return false;
}

// A control byte, or a C1 control character (Cc) written in UTF-8.
static bool has_control(std::string_view s)
{
	return std::any_of(s.begin(), s.end(),
	                   [](char c) {
		                   return (unsigned char)c < 0x20 || (unsigned char)c == 0x7f;
	                   }) ||
	       has_char_of(s, G_UNICODE_CONTROL);
}

static bool has_format(std::string_view s)
{
	return has_char_of(s, G_UNICODE_FORMAT);
}

static void check_refusal(std::string_view name, NameProblem p)
{
	const char *msg = name_problem_message(p);

	CHECK(msg != nullptr && *msg != '\0');
	switch (p) {
	case NameProblem::none:
		fail("refusal without a problem", __LINE__);
	case NameProblem::empty:
		CHECK(name.empty());
		break;
	case NameProblem::dot_or_dotdot:
		CHECK(name == "." || name == "..");
		break;
	case NameProblem::separator:
		CHECK(has_any(name, std::string_view("/\\\0", 3)));
		break;
	case NameProblem::leading_dot:
		CHECK(!name.empty() && name[0] == '.');
		break;
	case NameProblem::too_long:
		CHECK(name.size() > max_player_name);
		break;
	case NameProblem::control:
		CHECK(has_control(name));
		break;
	case NameProblem::invisible:
		CHECK(has_format(name));
		break;
	default:
		fail("unknown problem", __LINE__);
	}
}

static void check_accepted(const std::string &name)
{
	CHECK(!name.empty());
	CHECK(name != "." && name != "..");
	CHECK(name.find('/') == std::string::npos);
	CHECK(name.find('\\') == std::string::npos);
	CHECK(name.find('\0') == std::string::npos);
	CHECK(name[0] != '.');
	CHECK(name.size() <= 49);
	CHECK(!has_control(name));
	CHECK(!has_format(name));
	CHECK(*name_problem_message(NameProblem::none) == '\0');
	fs::path p = (fs::path(profiles_dir) / name).lexically_normal();
	CHECK(p.parent_path() == fs::path(profiles_dir));
	CHECK(p.filename() == fs::path(name));
}

// A name that breaks any rule must be refused, one that breaks none accepted.
static void check_name(const std::string &name)
{
	bool ok = !name.empty() && name != "." && name != ".." &&
	          !has_any(name, std::string_view("/\\\0", 3)) && name[0] != '.' &&
	          name.size() <= 49 && !has_control(name) && !has_format(name);
	NameProblem p = check_player_name(name);

	CHECK((p == NameProblem::none) == ok);
	if (ok)
		check_accepted(name);
	else
		check_refusal(name, p);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	if (size < 2)
		return 0;
	std::string_view body(reinterpret_cast<const char *>(data) + 2, size - 2);
	NameList names = split(body, char(data[0]));

	check_sort(names);
	for (const std::string &name : names) {
		check_name(name);
		// Among players it is one of, a name is that player; beside the
		// others it may read like one of them, and be refused for nothing else.
		NameProblem alone = check_player_name(name);
		CHECK(check_new_player_name(name, names) == alone);
		NameList others;
		std::copy_if(names.begin(), names.end(), std::back_inserter(others),
		             [&](const std::string &s) { return s != name; });
		NameProblem beside = check_new_player_name(name, others);
		CHECK(beside == alone ||
		      (alone == NameProblem::none && beside == NameProblem::look_alike));
		// With a space at either end or a code point that draws nothing, it
		// reads alike: refused for that, or for a rule of its own.
		for (const std::string &other :
		     {" " + name, name + " ", name + "\u034f", name + "\ufe0f"}) {
			NameProblem own = check_player_name(other);
			CHECK(alone != NameProblem::none ||
			      check_new_player_name(other, {name}) ==
			              (own == NameProblem::none ? NameProblem::look_alike : own));
		}
	}
	return 0;
}
