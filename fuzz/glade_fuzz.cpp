// Arbitrary bytes as an interface file: read, and each of its windows (and
// a widget deep inside, and one that is not there) converted with GTK 3's
// own catalogue, which needs no display. What comes out must be one
// well-formed document whose objects' ids are all different, since
// GtkBuilder refuses anything else.
#include "interface/builder_xml.h"
#include "interface/gtk3_catalog.h"

#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#define CHECK(cond) ((cond) ? (void)0 : fail(#cond, __LINE__))

[[noreturn]] static void fail(const char *what, int line)
{
	std::fprintf(stderr, "glade_fuzz.cpp:%d: invariant broken: %s\n", line, what);
	std::abort();
}

struct Ids {
	std::set<std::string> seen;
	bool repeated = false;
};

static void object_id(GMarkupParseContext *, const gchar *element, const gchar **names,
                      const gchar **values, gpointer data, GError **)
{
	auto &ids = *static_cast<Ids *>(data);
	if (std::strcmp(element, "object") != 0)
		return;
	for (std::size_t i = 0; names[i]; i++)
		if (std::strcmp(names[i], "id") == 0 && !ids.seen.insert(values[i]).second)
			ids.repeated = true;
}

static void check_document(const std::string &xml, const std::string &root)
{
	static const GMarkupParser parser = {object_id, nullptr, nullptr, nullptr, nullptr};
	Ids ids;
	GMarkupParseContext *context = g_markup_parse_context_new(&parser, GMarkupParseFlags(0),
	                                                          &ids, nullptr);
	bool parsed = g_markup_parse_context_parse(context, xml.data(), gssize(xml.size()),
	                                           nullptr) &&
	              g_markup_parse_context_end_parse(context, nullptr);
	g_markup_parse_context_free(context);
	CHECK(parsed);
	CHECK(!ids.repeated);
	CHECK(ids.seen.count(root) || root.empty());
}

static void convert(const GladeFile &file, const std::string &root, const ClassCatalog &catalog)
{
	std::optional<std::string> xml = builder_xml(file, root, catalog);
	bool exists = false;
	for (const auto &top : file.toplevels)
		exists = exists || find_widget(*top, root);
	// GTK 3 has a stand-in for every class, so every widget converts.
	CHECK(xml.has_value() == exists);
	if (xml)
		check_document(*xml, find_toplevel(file, root) && !root.empty() ? root : "");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	static std::unique_ptr<ClassCatalog> catalog = gtk3_catalog();
	std::optional<GladeFile> file =
	        parse_glade(std::string_view(reinterpret_cast<const char *>(data), size));
	if (!file)
		return 0;
	for (std::size_t i = 0; i < file->toplevels.size() && i < 4; i++) {
		const GladeWidget &top = *file->toplevels[i];
		convert(*file, top.id, *catalog);
		const GladeWidget *inner = &top;
		while (!inner->children.empty() && inner->children.back().widget)
			inner = inner->children.back().widget.get();
		convert(*file, inner->id, *catalog);
	}
	convert(*file, "no widget has this id", *catalog);
	return 0;
}
