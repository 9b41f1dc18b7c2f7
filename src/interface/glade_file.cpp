#include "interface/glade_file.h"

#include <glib.h>

#include <algorithm>
#include <cstring>

namespace {

// What the element being read is, and where what it holds goes.
enum class Kind { interface, widget, property, accessibility, signal, child, packing };

struct Open {
	Kind kind;
	GladeWidget *widget = nullptr;     // widget, accessibility, signal
	GladeChild *child = nullptr;       // child, packing
	GladeProperty *property = nullptr; // property
};

struct Reading {
	GladeFile file;
	std::vector<Open> open;
	std::size_t skipped = 0; // depth inside an element skipped with all it holds
	bool root_closed = false;
};

// No element of the format has half as many; more is no interface file,
// only a way to spend time on it.
constexpr std::size_t attribute_limit = 16;

} // namespace

// libxml2, which libglade reads with, refuses these bytes anywhere in a
// document; GMarkup lets them through in text.
static bool has_forbidden_control(std::string_view text)
{
	return std::any_of(text.begin(), text.end(), [](char c) {
		auto byte = static_cast<unsigned char>(c);
		return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
	});
}

static void refuse(GError **error)
{
	g_set_error_literal(error, G_MARKUP_ERROR, G_MARKUP_ERROR_INVALID_CONTENT, "refused");
}

static bool attributes_sane(const gchar **names)
{
	std::size_t count = 0;
	for (; names[count]; count++) {
		if (count >= attribute_limit)
			return false;
		for (std::size_t j = 0; j < count; j++)
			if (std::strcmp(names[j], names[count]) == 0)
				return false;
	}
	return true;
}

static const char *attribute(const gchar **names, const gchar **values, const char *name)
{
	for (std::size_t i = 0; names[i]; i++)
		if (std::strcmp(names[i], name) == 0)
			return values[i];
	return nullptr;
}

static bool is_yes(const char *value)
{
	return value && std::strcmp(value, "yes") == 0;
}

static bool is_element(const gchar *element, const char *name)
{
	return std::strcmp(element, name) == 0;
}

// A <property> or <atkproperty>; null when libglade would skip it, as it
// skips one meant for another program (agent="...").
// A property of `into` opened for its text to come; whether it is one to
// read (one for another agent than libglade is skipped with what it holds).
static bool start_property(Reading &reading, std::vector<GladeProperty> &into, const gchar **names,
                           const gchar **values, GError **error)
{
	const char *name = attribute(names, values, "name");
	const char *agent = attribute(names, values, "agent");
	if (!name) {
		refuse(error);
		return false;
	}
	if (agent && std::strcmp(agent, "libglade") != 0)
		return false;
	GladeProperty &property = into.emplace_back();
	property.name = name;
	property.translatable = is_yes(attribute(names, values, "translatable"));
	property.has_context = is_yes(attribute(names, values, "context"));
	if (const char *comments = attribute(names, values, "comments"))
		property.comments = comments;
	reading.open.push_back({Kind::property, nullptr, nullptr, &property});
	return true;
}

static bool start_widget(Reading &reading, std::unique_ptr<GladeWidget> &slot, const gchar **names,
                         const gchar **values, GError **error)
{
	const char *class_name = attribute(names, values, "class");
	const char *id = attribute(names, values, "id");
	if (!class_name || !id) {
		refuse(error);
		return false;
	}
	slot = std::make_unique<GladeWidget>();
	slot->class_name = class_name;
	slot->id = id;
	reading.open.push_back({Kind::widget, slot.get()});
	return true;
}

static bool start_signal(Reading &reading, GladeWidget &widget, const gchar **names,
                         const gchar **values, GError **error)
{
	const char *name = attribute(names, values, "name");
	const char *handler = attribute(names, values, "handler");
	if (!name || !handler) {
		refuse(error);
		return false;
	}
	GladeSignal &signal = widget.signals.emplace_back();
	signal.name = name;
	signal.handler = handler;
	if (const char *object = attribute(names, values, "object"))
		signal.object = object;
	signal.after = is_yes(attribute(names, values, "after"));
	reading.open.push_back({Kind::signal, &widget});
	return true;
}

static bool add_accelerator(GladeWidget &widget, const gchar **names, const gchar **values,
                            GError **error)
{
	const char *key = attribute(names, values, "key");
	const char *signal = attribute(names, values, "signal");
	const char *modifiers = attribute(names, values, "modifiers");
	if (!key || !signal) {
		refuse(error);
		return false;
	}
	widget.accelerators.push_back({key, modifiers ? modifiers : "", signal});
	return true;
}

// What an <accessibility> holds; false when the element is to be skipped.
static bool start_in_accessibility(Reading &reading, const gchar *element, const gchar **names,
                                   const gchar **values, GError **error)
{
	GladeAccessibility &atk = reading.open.back().widget->accessibility;
	if (is_element(element, "atkrelation")) {
		const char *target = attribute(names, values, "target");
		const char *type = attribute(names, values, "type");
		if (!target || !type)
			refuse(error);
		else
			atk.relations.push_back({target, type});
		return false;
	}
	if (is_element(element, "atkaction")) {
		const char *name = attribute(names, values, "action_name");
		const char *description = attribute(names, values, "description");
		if (!name)
			refuse(error);
		else
			atk.actions.push_back({name, description ? description : ""});
		return false;
	}
	if (!is_element(element, "atkproperty"))
		return false;
	return start_property(reading, atk.properties, names, values, error);
}

static bool start_in_widget(Reading &reading, const gchar *element, const gchar **names,
                            const gchar **values, GError **error)
{
	GladeWidget &widget = *reading.open.back().widget;
	if (is_element(element, "property"))
		return start_property(reading, widget.properties, names, values, error);
	if (is_element(element, "signal"))
		return start_signal(reading, widget, names, values, error);
	if (is_element(element, "accelerator")) {
		add_accelerator(widget, names, values, error);
		return false;
	}
	if (is_element(element, "accessibility")) {
		reading.open.push_back({Kind::accessibility, &widget});
		return true;
	}
	if (!is_element(element, "child"))
		return false;
	GladeChild &child = widget.children.emplace_back();
	if (const char *internal = attribute(names, values, "internal-child"))
		child.internal_child = internal;
	reading.open.push_back({Kind::child, nullptr, &child});
	return true;
}

static bool start_in_child(Reading &reading, const gchar *element, const gchar **names,
                           const gchar **values, GError **error)
{
	GladeChild &child = *reading.open.back().child;
	// A second widget in one child is not libglade's: the first one stands.
	if (is_element(element, "widget") && !child.widget)
		return start_widget(reading, child.widget, names, values, error);
	if (is_element(element, "packing")) {
		reading.open.push_back({Kind::packing, nullptr, &child});
		return true;
	}
	return false;
}

static bool start_in_interface(Reading &reading, const gchar *element, const gchar **names,
                               const gchar **values, GError **error)
{
	if (is_element(element, "requires")) {
		const char *lib = attribute(names, values, "lib");
		if (!lib)
			refuse(error);
		else
			reading.file.required_libraries.emplace_back(lib);
		return false;
	}
	if (!is_element(element, "widget"))
		return false;
	return start_widget(reading, reading.file.toplevels.emplace_back(), names, values, error);
}

// Opens the element in the frame it belongs to; false when it is skipped.
static bool start_known(Reading &reading, const gchar *element, const gchar **names,
                        const gchar **values, GError **error)
{
	if (reading.open.empty()) {
		if (reading.root_closed || !is_element(element, "glade-interface")) {
			refuse(error);
			return false;
		}
		reading.open.push_back({Kind::interface});
		return true;
	}
	Open &top = reading.open.back();
	switch (top.kind) {
	case Kind::interface:
		return start_in_interface(reading, element, names, values, error);
	case Kind::widget:
		return start_in_widget(reading, element, names, values, error);
	case Kind::accessibility:
		return start_in_accessibility(reading, element, names, values, error);
	case Kind::child:
		return start_in_child(reading, element, names, values, error);
	case Kind::packing:
		return is_element(element, "property") &&
		       start_property(reading, top.child->packing, names, values, error);
	case Kind::property:
	case Kind::signal:
		return false;
	}
	return false;
}

static void start_element(GMarkupParseContext *, const gchar *element, const gchar **names,
                          const gchar **values, gpointer data, GError **error)
{
	auto &reading = *static_cast<Reading *>(data);
	if (reading.open.size() + reading.skipped >= glade_depth_limit || !attributes_sane(names)) {
		refuse(error);
		return;
	}
	if (reading.skipped > 0 || !start_known(reading, element, names, values, error))
		reading.skipped++;
}

// An XML reader ends the document's lines with a line feed alone, as
// libxml2 does for libglade, before reading it: "&#13;" stays a carriage
// return. GMarkup leaves them as written.
static void normalize_line_ends(std::string &text)
{
	std::size_t to = 0;
	for (std::size_t from = 0; from < text.size(); from++) {
		bool crlf = text[from] == '\r' && from + 1 < text.size() && text[from + 1] == '\n';
		if (!crlf)
			text[to++] = text[from] == '\r' ? '\n' : text[from];
	}
	text.resize(to);
}

static void end_element(GMarkupParseContext *, const gchar *, gpointer data, GError **)
{
	auto &reading = *static_cast<Reading *>(data);
	if (reading.skipped > 0) {
		reading.skipped--;
		return;
	}
	reading.open.pop_back();
	reading.root_closed = reading.open.empty();
}

static void text(GMarkupParseContext *, const gchar *text, gsize length, gpointer data, GError **)
{
	auto &reading = *static_cast<Reading *>(data);
	if (reading.skipped == 0 && !reading.open.empty() &&
	    reading.open.back().kind == Kind::property)
		reading.open.back().property->value.append(text, length);
}

std::optional<GladeFile> parse_glade(std::string_view text_in)
{
	if (has_forbidden_control(text_in) || text_in.size() > G_MAXSSIZE)
		return std::nullopt;
	std::string normalized;
	if (text_in.find('\r') != std::string_view::npos) {
		normalized = text_in;
		normalize_line_ends(normalized);
		text_in = normalized;
	}
	static const GMarkupParser parser = {start_element, end_element, text, nullptr, nullptr};
	Reading reading;
	GMarkupParseContext *context = g_markup_parse_context_new(
	        &parser, G_MARKUP_TREAT_CDATA_AS_TEXT, &reading, nullptr);
	bool parsed = g_markup_parse_context_parse(context, text_in.data(), gssize(text_in.size()),
	                                           nullptr) &&
	              g_markup_parse_context_end_parse(context, nullptr);
	g_markup_parse_context_free(context);
	if (!parsed || !reading.root_closed)
		return std::nullopt;
	return std::move(reading.file);
}

const GladeWidget *find_toplevel(const GladeFile &file, std::string_view id)
{
	for (const auto &widget : file.toplevels)
		if (widget->id == id)
			return widget.get();
	return nullptr;
}

const GladeWidget *find_widget(const GladeWidget &root, std::string_view id)
{
	// A stack of its own: the tree's depth is the file's to choose.
	std::vector<const GladeWidget *> pending{&root};
	while (!pending.empty()) {
		const GladeWidget *widget = pending.back();
		pending.pop_back();
		if (widget->id == id)
			return widget;
		for (auto child = widget->children.rbegin(); child != widget->children.rend();
		     ++child)
			if (child->widget)
				pending.push_back(child->widget.get());
	}
	return nullptr;
}

static bool same_property_name(std::string_view a, std::string_view b)
{
	auto canonical = [](char c) { return c == '_' ? '-' : c; };
	return a.size() == b.size() &&
	       std::equal(a.begin(), a.end(), b.begin(),
	                  [&](char x, char y) { return canonical(x) == canonical(y); });
}

const GladeProperty *find_property(const std::vector<GladeProperty> &properties,
                                   std::string_view name)
{
	for (auto it = properties.rbegin(); it != properties.rend(); ++it)
		if (same_property_name(it->name, name))
			return &*it;
	return nullptr;
}
