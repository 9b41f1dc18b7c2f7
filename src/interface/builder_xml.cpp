#include "interface/builder_xml.h"

#include "base/glib_ptr.h"
#include "base/regular_file.h"

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

// A widget of the file as it goes into the GtkBuilder tree.
struct Node {
	const GladeWidget *widget = nullptr;
	const GladeChild *place = nullptr; // where it sits in its parent, with its packing
	Node *parent = nullptr;
	std::string id; // unique in the document
	Gtk3Class gtk3;
	bool has_entry = false;
	std::string child_type; // "tab", "label", "submenu", or none
	std::string internal;   // the internal child it is, or none
	Node *internal_owner = nullptr;
	bool has_submenu = false;
	std::string as_property; // written beside the tree, named by this property of its parent
	bool responds = false;   // added to its dialog with a response id, as libglade adds it
	std::vector<std::pair<std::string, long>> responses; // of a dialog: its action widgets
	std::vector<std::unique_ptr<Node>> children;
};

struct Conversion {
	explicit Conversion(const ClassCatalog &catalog) : catalog(catalog) {}
	const ClassCatalog &catalog;
	std::set<std::string> file_ids;                 // every id of the tree converted
	std::set<std::string> used;                     // every id of the document
	std::map<std::string, const Node *> by_file_id; // the first widget written with that id
	std::string beside; // objects outside the tree: adjustments, buffers, images
	bool in_window = false;
};

struct Packing {
	std::vector<std::pair<std::string, std::string>> values; // in the order they are written
	void set(const std::string &name, const std::string &value)
	{
		for (auto &[key, old] : values)
			if (key == name) {
				old = value;
				return;
			}
		values.emplace_back(name, value);
	}
};

} // namespace

// --- Text ---

static std::string escaped(std::string_view text)
{
	GCharPtr escaped(g_markup_escape_text(text.data(), gssize(text.size())));
	return escaped.get();
}

static std::string indent(int depth)
{
	return std::string(std::size_t(depth) * 2, ' ');
}

static std::string canonical_name(std::string name)
{
	std::replace(name.begin(), name.end(), '_', '-');
	return name;
}

static std::string trimmed(std::string_view text)
{
	auto space = [](char c) { return g_ascii_isspace(c); };
	while (!text.empty() && space(text.front()))
		text.remove_prefix(1);
	while (!text.empty() && space(text.back()))
		text.remove_suffix(1);
	return std::string(text);
}

// The shortest decimal form that reads back as the same number.
static std::string number_text(double value)
{
	char buffer[G_ASCII_DTOSTR_BUF_SIZE];
	for (const char *format : {"%.15g", "%.16g"}) {
		g_ascii_formatd(buffer, sizeof buffer, format, value);
		if (g_ascii_strtod(buffer, nullptr) == value)
			return buffer;
	}
	return g_ascii_dtostr(buffer, sizeof buffer, value);
}

// An id of the document, made from `base`, that neither the file nor the
// document has.
static std::string fresh_id(Conversion &c, const std::string &base)
{
	std::string id = base;
	for (unsigned n = 2; c.file_ids.count(id) || c.used.count(id); n++)
		id = base + "-" + std::to_string(n);
	c.used.insert(id);
	return id;
}

// --- Values, read as libglade reads them ---

static bool libglade_boolean(const std::string &text)
{
	char first = g_ascii_tolower(text.empty() ? '\0' : text[0]);
	return first == 't' || first == 'y' || std::strtol(text.c_str(), nullptr, 0) != 0;
}

// The number `text` reads as whole; nothing when it is not one.
static std::optional<std::int64_t> whole_number(const std::string &text)
{
	std::string number = trimmed(text);
	char *end = nullptr;
	errno = 0;
	gint64 value = g_ascii_strtoll(number.c_str(), &end, 0);
	if (number.empty() || errno != 0 || *end != '\0')
		return std::nullopt;
	return value;
}

static std::optional<std::string> integer_text(const PropertyInfo &info, const std::string &text)
{
	std::string number = trimmed(text);
	if (info.kind == ValueKind::unsigned_integer && !number.empty() && number[0] == '-')
		return std::nullopt;
	// Read as strtol reads: what is no number is 0.
	gint64 value = info.kind == ValueKind::integer
	                       ? g_ascii_strtoll(number.c_str(), nullptr, 0)
	                       : gint64(g_ascii_strtoull(number.c_str(), nullptr, 0));
	if (info.kind == ValueKind::integer) {
		if (double(value) < info.minimum || double(value) > info.maximum)
			return std::nullopt;
		return std::to_string(value);
	}
	auto unsigned_value = guint64(value);
	if (double(unsigned_value) < info.minimum || double(unsigned_value) > info.maximum)
		return std::nullopt;
	return std::to_string(unsigned_value);
}

static std::optional<std::string> floating_text(const PropertyInfo &info, const std::string &text)
{
	double value = g_ascii_strtod(text.c_str(), nullptr);
	if (!std::isfinite(value) || value < info.minimum || value > info.maximum)
		return std::nullopt;
	return number_text(value);
}

static const NamedValue *named_value(const std::vector<NamedValue> &values, const std::string &text)
{
	std::string wanted = trimmed(text);
	std::optional<std::int64_t> number = whole_number(wanted);
	for (const NamedValue &v : values)
		if (number ? v.value == std::uint64_t(*number)
		           : v.name == wanted || v.nick == wanted)
			return &v;
	return nullptr;
}

static std::optional<std::string> enum_text(const Conversion &c, const PropertyInfo &info,
                                            const std::string &text)
{
	std::vector<NamedValue> values = c.catalog.named_values(info.value_type);
	const NamedValue *value = named_value(values, text);
	if (!value)
		return std::nullopt;
	return value->nick;
}

// The flags `text` names, a number or names and nicks between '|';
// nothing when it names none that the type has.
static std::optional<std::uint64_t> flags_value(const std::vector<NamedValue> &values,
                                                const std::string &text)
{
	std::uint64_t all = 0;
	for (const NamedValue &v : values)
		all |= v.value;
	if (std::optional<std::int64_t> number = whole_number(text)) {
		if ((std::uint64_t(*number) & ~all) != 0)
			return std::nullopt;
		return std::uint64_t(*number);
	}
	std::uint64_t result = 0;
	std::string_view rest = text;
	while (!rest.empty()) {
		std::size_t bar = std::min(rest.find('|'), rest.size());
		std::string name = trimmed(rest.substr(0, bar));
		rest.remove_prefix(std::min(bar + 1, rest.size()));
		if (name.empty())
			continue;
		const NamedValue *value = named_value(values, name);
		if (!value)
			return std::nullopt;
		result |= value->value;
	}
	return result;
}

static std::string flags_text(const std::vector<NamedValue> &values, std::uint64_t flags)
{
	std::string text;
	std::uint64_t left = flags;
	for (const NamedValue &v : values)
		if (v.value != 0 && (flags & v.value) == v.value && (left & v.value) != 0) {
			text += (text.empty() ? "" : "|") + v.nick;
			left &= ~v.value;
		}
	return text.empty() ? "0" : text;
}

// Sizes GTK would honour, up to allocating a table's rows or a window of
// that size: far beyond any screen, they only take the memory or the X
// server's patience.
static bool sane_size(const std::string &name, const std::string &value)
{
	static const std::set<std::string> sizes = {
	        "width-request",  "height-request", "default-width",   "default-height",
	        "border-width",   "spacing",        "row-spacing",     "column-spacing",
	        "padding",        "x-padding",      "y-padding",       "xpad",
	        "ypad",           "width-chars",    "max-width-chars", "n-rows",
	        "n-columns",      "left-attach",    "right-attach",    "top-attach",
	        "bottom-attach",  "left-padding",   "right-padding",   "top-padding",
	        "bottom-padding", "pixel-size",     "position"};
	return !sizes.count(name) || std::strtoll(value.c_str(), nullptr, 10) <= 10000;
}

// A boolean, number, enumeration, flags or string value in GtkBuilder's
// form; nothing for one GTK 3 cannot take.
static std::optional<std::string> plain_text(const Conversion &c, const PropertyInfo &info,
                                             const std::string &text)
{
	switch (info.kind) {
	case ValueKind::boolean:
		return std::string(libglade_boolean(text) ? "True" : "False");
	case ValueKind::integer:
	case ValueKind::unsigned_integer:
		return integer_text(info, text);
	case ValueKind::floating:
		return floating_text(info, text);
	case ValueKind::enumeration:
		return enum_text(c, info, text);
	case ValueKind::flags: {
		std::vector<NamedValue> values = c.catalog.named_values(info.value_type);
		std::optional<std::uint64_t> flags = flags_value(values, text);
		if (!flags)
			return std::nullopt;
		return flags_text(values, *flags);
	}
	case ValueKind::string:
		return text;
	case ValueKind::object:
	case ValueKind::other:
		break;
	}
	return std::nullopt;
}

// --- Writing ---

static void write_property(std::string &out, int depth, const std::string &name,
                           const std::string &value)
{
	out += indent(depth) + "<property name=\"" + escaped(name) + "\">" + escaped(value) +
	       "</property>\n";
}

// A text property with what translating it takes: libglade's context
// prefix becomes GtkBuilder's attribute.
// A translatable text's attributes, its context taken out of `value`;
// libglade translates nothing else.
static std::string text_attributes(const GladeProperty &property, std::string &value)
{
	std::string attributes;
	if (property.has_context) {
		std::size_t bar = value.find('|');
		if (bar != std::string::npos) {
			attributes += " context=\"" + escaped(value.substr(0, bar)) + "\"";
			value.erase(0, bar + 1);
		}
	}
	if (property.translatable) {
		attributes = " translatable=\"yes\"" + attributes;
		if (!property.comments.empty())
			attributes += " comments=\"" + escaped(property.comments) + "\"";
	} else {
		attributes.clear();
	}
	return attributes;
}

static void write_text_property(std::string &out, int depth, const std::string &name,
                                const GladeProperty &property)
{
	std::string value = property.value;
	std::string attributes = text_attributes(property, value);
	out += indent(depth) + "<property name=\"" + escaped(name) + "\"" + attributes + ">" +
	       escaped(value) + "</property>\n";
}

// libglade reads an adjustment as text: value, lower, upper, step, page and
// page size; a number missing is 0.
static std::optional<std::string> write_adjustment(Conversion &c, const Node &node,
                                                   const std::string &text)
{
	double numbers[6] = {};
	const char *at = text.c_str();
	for (double &number : numbers) {
		char *end = nullptr;
		number = g_ascii_strtod(at, &end);
		if (!std::isfinite(number))
			return std::nullopt;
		at = end;
	}
	std::string id = fresh_id(c, node.id + "-adjustment");
	// The value last, once its bounds are there: GTK 3 clamps it to them.
	static const char *const names[] = {"lower",          "upper",     "step-increment",
	                                    "page-increment", "page-size", "value"};
	static const int order[] = {1, 2, 3, 4, 5, 0};
	c.beside += indent(1) + "<object class=\"GtkAdjustment\" id=\"" + escaped(id) + "\">\n";
	for (int i = 0; i < 6; i++)
		write_property(c.beside, 2, names[i], number_text(numbers[order[i]]));
	c.beside += indent(1) + "</object>\n";
	return id;
}

// A picture is loaded when the tree is built: only a regular file of a
// sane size, never a device or a pipe the build would hang on.
static const std::size_t picture_limit = 4 * 1024 * 1024;

static bool loadable_picture(const std::string &path)
{
	RegularFile file = open_regular_file(path.c_str());
	return file.fd && file.size <= picture_limit;
}

static std::optional<std::string> object_text(Conversion &c, const Node &node,
                                              const PropertyInfo &info, const std::string &text)
{
	if (c.catalog.is_a(info.value_type, "GtkAdjustment"))
		return write_adjustment(c, node, text);
	if (c.catalog.is_a(info.value_type, "GdkPixbuf"))
		return loadable_picture(text) ? std::optional<std::string>(text) : std::nullopt;
	auto target = c.by_file_id.find(text);
	if (target == c.by_file_id.end() || target->second == &node ||
	    !c.catalog.is_a(target->second->gtk3.name, info.value_type))
		return std::nullopt;
	return target->second->id;
}

static void write_text_buffer(Conversion &c, std::string &out, int depth, const Node &node,
                              const GladeProperty &text)
{
	if (!c.catalog.property(node.gtk3.name, "buffer") || !c.catalog.has_class("GtkTextBuffer"))
		return;
	std::string id = fresh_id(c, node.id + "-buffer");
	c.beside += indent(1) + "<object class=\"GtkTextBuffer\" id=\"" + escaped(id) + "\">\n";
	write_text_property(c.beside, 2, "text", text);
	c.beside += indent(1) + "</object>\n";
	write_property(out, depth, "buffer", id);
}

// libglade's Entry::invisible_char is a character, GTK 3's a code point.
static std::optional<std::string> code_point_text(const std::string &text)
{
	if (text.empty() || !g_utf8_validate(text.c_str(), gssize(text.size()), nullptr))
		return std::nullopt;
	return std::to_string(g_utf8_get_char(text.c_str()));
}

static void write_one_property(Conversion &c, std::string &out, int depth, const Node &node,
                               const GladeProperty &property)
{
	std::string name = canonical_name(property.name);
	if (name == "tooltip")
		name = "tooltip-text";
	if (name == "text" && c.catalog.is_a(node.gtk3.name, "GtkTextView"))
		return write_text_buffer(c, out, depth, node, property);
	std::optional<PropertyInfo> info = c.catalog.property(node.gtk3.name, name);
	if (!info)
		return;
	// A picture named by its file is read when the tree is built.
	if (name == "file" && info->kind == ValueKind::string && !loadable_picture(property.value))
		return;
	if (info->kind == ValueKind::string)
		return write_text_property(out, depth, name, property);
	std::optional<std::string> value;
	if (name == "invisible-char" && info->kind == ValueKind::unsigned_integer)
		value = code_point_text(property.value);
	else if (info->kind == ValueKind::object)
		value = object_text(c, node, *info, property.value);
	else
		value = plain_text(c, *info, property.value);
	if (value && sane_size(name, *value))
		write_property(out, depth, name, *value);
}

// What libglade does itself rather than through a property, and what
// GTK 3 would complain of: a default or a focus outside a window, a default
// that cannot be one, a property given twice (libglade keeps the last).
static bool handled_apart(const Conversion &c, const Node &node, const GladeProperty &property)
{
	std::string name = canonical_name(property.name);
	const GladeProperty *can_default = find_property(node.widget->properties, "can_default");
	bool defaults = can_default && libglade_boolean(can_default->value);
	return name == "name" || name == "response-id" || name == "orientation" ||
	       (name == "items" && node.gtk3.name == "GtkComboBoxText") ||
	       ((name == "has-default" || name == "has-focus") && !c.in_window) ||
	       (name == "has-default" && !defaults) ||
	       find_property(node.widget->properties, name) != &property;
}

static void write_properties(Conversion &c, std::string &out, int depth, const Node &node)
{
	// libglade names each widget after its id, which styles and lookups
	// by name rely on.
	if (!node.widget->id.empty() && c.catalog.property(node.gtk3.name, "name"))
		write_property(out, depth, "name", node.widget->id);
	if (node.gtk3.orientation && c.catalog.property(node.gtk3.name, "orientation"))
		write_property(out, depth, "orientation", node.gtk3.orientation);
	if (node.gtk3.has_entry && c.catalog.property(node.gtk3.name, "has-entry"))
		write_property(out, depth, "has-entry", "True");
	for (const GladeProperty &property : node.widget->properties)
		if (!handled_apart(c, node, property))
			write_one_property(c, out, depth, node, property);
	for (const auto &child : node.children)
		if (!child->as_property.empty())
			write_property(out, depth, child->as_property, child->id);
}

// libglade's items are lines, the last one ended or not.
static void write_items(std::string &out, int depth, const Node &node)
{
	const GladeProperty *items = find_property(node.widget->properties, "items");
	if (node.gtk3.name != "GtkComboBoxText" || !items)
		return;
	std::vector<std::string> lines;
	std::size_t from = 0;
	while (from < items->value.size()) {
		std::size_t end = std::min(items->value.find('\n', from), items->value.size());
		lines.push_back(items->value.substr(from, end - from));
		from = end + 1;
	}
	out += indent(depth) + "<items>\n";
	for (std::string line : lines) {
		std::string attributes = text_attributes(*items, line);
		out += indent(depth + 1) + "<item" + attributes + ">" + escaped(line) + "</item>\n";
	}
	out += indent(depth) + "</items>\n";
}

static void write_signals(Conversion &c, std::string &out, int depth, const Node &node)
{
	for (const GladeSignal &signal : node.widget->signals) {
		if (signal.handler.empty() || !c.catalog.has_signal(node.gtk3.name, signal.name))
			continue;
		out += indent(depth) + "<signal name=\"" + escaped(signal.name) + "\" handler=\"" +
		       escaped(signal.handler) + "\"";
		// libglade hands the object to the handler first; one that is not
		// in the tree comes as null, as it does there.
		if (!signal.object.empty()) {
			auto object = c.by_file_id.find(signal.object);
			if (object != c.by_file_id.end())
				out += " object=\"" + escaped(object->second->id) + "\"";
			out += " swapped=\"yes\"";
		}
		if (signal.after)
			out += " after=\"yes\"";
		out += "/>\n";
	}
}

static void write_accelerators(Conversion &c, std::string &out, int depth, const Node &node)
{
	if (!c.in_window || node.widget->accelerators.empty())
		return;
	std::vector<NamedValue> modifiers = c.catalog.named_values("GdkModifierType");
	for (const GladeAccelerator &accelerator : node.widget->accelerators) {
		std::optional<std::uint64_t> mask = flags_value(modifiers, accelerator.modifiers);
		if (!mask || !c.catalog.is_key_name(accelerator.key) ||
		    !c.catalog.is_accelerator_signal(node.gtk3.name, accelerator.signal))
			continue;
		out += indent(depth) + "<accelerator key=\"" + escaped(accelerator.key) + "\"";
		if (*mask != 0)
			out += " modifiers=\"" + escaped(flags_text(modifiers, *mask)) + "\"";
		out += " signal=\"" + escaped(accelerator.signal) + "\"/>\n";
	}
}

// The widgets whose accessible objects GTK 3 gives actions.
static bool has_atk_actions(const Conversion &c, const Node &node)
{
	for (const char *kind :
	     {"GtkButton", "GtkMenuItem", "GtkComboBox", "GtkEntry", "GtkExpander"})
		if (c.catalog.is_a(node.gtk3.name, kind))
			return true;
	return false;
}

static std::string atk_relations_and_actions(const Conversion &c, int depth, const Node &node)
{
	const GladeAccessibility &atk = node.widget->accessibility;
	std::string text;
	std::vector<NamedValue> types;
	if (!atk.relations.empty())
		types = c.catalog.named_values("AtkRelationType");
	for (const GladeAtkRelation &relation : atk.relations) {
		auto target = c.by_file_id.find(relation.target);
		bool known = std::any_of(types.begin(), types.end(), [&](const NamedValue &v) {
			return v.nick == relation.type;
		});
		if (target != c.by_file_id.end() && known)
			text += indent(depth + 1) + "<relation target=\"" +
			        escaped(target->second->id) + "\" type=\"" +
			        escaped(relation.type) + "\"/>\n";
	}
	for (const GladeAtkAction &action : atk.actions) {
		if (!has_atk_actions(c, node))
			break;
		text += indent(depth + 1) + "<action action_name=\"" + escaped(action.name) + "\"";
		text += action.description.empty()
		                ? "/>\n"
		                : " translatable=\"yes\">" + escaped(action.description) +
		                          "</action>\n";
	}
	return text;
}

static void write_accessibility(Conversion &c, std::string &out, int depth, const Node &node)
{
	std::string inside = atk_relations_and_actions(c, depth, node);
	if (!inside.empty())
		out += indent(depth) + "<accessibility>\n" + inside + indent(depth) +
		       "</accessibility>\n";
	std::string properties;
	for (const GladeProperty &property : node.widget->accessibility.properties) {
		// Glade writes "AtkObject::accessible_name".
		std::string name = property.name;
		std::size_t colons = name.rfind("::");
		name = canonical_name(colons == std::string::npos ? name : name.substr(colons + 2));
		std::optional<PropertyInfo> info = c.catalog.property("AtkObject", name);
		if (info && info->kind == ValueKind::string) {
			write_text_property(properties, depth + 2, name, property);
		} else if (info) {
			if (std::optional<std::string> value = plain_text(c, *info, property.value))
				write_property(properties, depth + 2, name, *value);
		}
	}
	if (properties.empty())
		return;
	std::string id = fresh_id(c, node.id + "-atkobject");
	out += indent(depth) + "<child internal-child=\"accessible\">\n" + indent(depth + 1) +
	       "<object class=\"AtkObject\" id=\"" + escaped(id) + "\">\n" + properties +
	       indent(depth + 1) + "</object>\n" + indent(depth) + "</child>\n";
}

// --- Packing ---

static void add_file_packing(Conversion &c, const Node &child, Packing &packing)
{
	const std::string &container = child.parent->gtk3.name;
	for (const GladeProperty &property : child.place->packing) {
		std::string name = canonical_name(property.name);
		std::optional<PropertyInfo> info = c.catalog.child_property(container, name);
		if (name == "type" || !info)
			continue;
		std::optional<std::string> value = plain_text(c, *info, property.value);
		if (value && sane_size(name, *value))
			packing.set(name, *value);
	}
}

// GTK+ 2 packed a box's children as gtk_container_add() did, and GTK 3's
// gtk_container_add() packs them otherwise: libglade's defaults are
// written out, then what the file says over them.
static Packing packing_of(Conversion &c, const Node &child)
{
	const std::string &container = child.parent->gtk3.name;
	Packing packing;
	if (c.catalog.is_a(container, "GtkBox")) {
		bool button_box = c.catalog.is_a(container, "GtkButtonBox");
		packing.set("expand", button_box ? "False" : "True");
		packing.set("fill", button_box ? "False" : "True");
		packing.set("padding", "0");
		packing.set("pack-type", "start");
	} else if (c.catalog.is_a(container, "GtkTable")) {
		for (auto [name, value] : {std::pair{"left-attach", "0"},
		                           {"right-attach", "1"},
		                           {"top-attach", "0"},
		                           {"bottom-attach", "1"},
		                           {"x-options", "expand|fill"},
		                           {"y-options", "expand|fill"},
		                           {"x-padding", "0"},
		                           {"y-padding", "0"}})
			packing.set(name, value);
	}
	// gtk_dialog_add_action_widget() packs it anew at the end, whatever the
	// file said.
	if (!child.responds)
		add_file_packing(c, child, packing);
	else {
		packing.set("expand", "False");
		packing.set("fill", "True");
		packing.set("padding", "0");
		packing.set("pack-type", "end");
	}
	for (auto it = packing.values.begin(); it != packing.values.end();)
		it = c.catalog.child_property(container, it->first) ? it + 1
		                                                    : packing.values.erase(it);
	return packing;
}

// --- The tree ---

static void write_object(Conversion &c, std::string &out, int depth, const Node &node);

static void write_child(Conversion &c, std::string &out, int depth, const Node &child)
{
	out += indent(depth) + "<child";
	if (!child.child_type.empty())
		out += " type=\"" + child.child_type + "\"";
	if (!child.internal.empty())
		out += " internal-child=\"" + escaped(child.internal) + "\"";
	out += ">\n";
	write_object(c, out, depth + 1, child);
	// An internal child's parent in GTK 3 is not always the one it has in
	// the file (the action area), so it keeps the packing GTK 3 gave it.
	Packing packing = child.internal.empty() && child.child_type.empty() ? packing_of(c, child)
	                                                                     : Packing{};
	if (!packing.values.empty()) {
		out += indent(depth + 1) + "<packing>\n";
		for (const auto &[name, value] : packing.values)
			write_property(out, depth + 2, name, value);
		out += indent(depth + 1) + "</packing>\n";
	}
	out += indent(depth) + "</child>\n";
}

static void write_action_widgets(std::string &out, int depth, const Node &node)
{
	if (node.responses.empty())
		return;
	out += indent(depth) + "<action-widgets>\n";
	for (const auto &[id, response] : node.responses)
		out += indent(depth + 1) + "<action-widget response=\"" + std::to_string(response) +
		       "\">" + escaped(id) + "</action-widget>\n";
	out += indent(depth) + "</action-widgets>\n";
}

static void write_object(Conversion &c, std::string &out, int depth, const Node &node)
{
	out += indent(depth) + "<object class=\"" + escaped(node.gtk3.name) + "\" id=\"" +
	       escaped(node.id) + "\">\n";
	write_properties(c, out, depth + 1, node);
	write_signals(c, out, depth + 1, node);
	write_accelerators(c, out, depth + 1, node);
	write_accessibility(c, out, depth + 1, node);
	write_items(out, depth + 1, node);
	for (const auto &child : node.children) {
		if (!child->as_property.empty()) {
			std::string object;
			write_object(c, object, 1, *child);
			c.beside += object;
		} else {
			write_child(c, out, depth + 1, *child);
		}
	}
	write_action_widgets(out, depth + 1, node);
	out += indent(depth) + "</object>\n";
}

// --- Which widgets go in, and as what ---

static bool widget_class_known(const Conversion &c, const std::string &name)
{
	return c.catalog.has_class(name) && c.catalog.is_a(name, "GtkWidget");
}

static bool has_ordinary_children(const GladeWidget &widget)
{
	return std::any_of(widget.children.begin(), widget.children.end(),
	                   [](const GladeChild &child) {
		                   return child.widget && child.internal_child.empty();
	                   });
}

// The node of `widget`, of the class it is built as; null when GTK 3 has
// not even a stand-in for it.
static std::unique_ptr<Node> make_node(const Conversion &c, const GladeWidget &widget, Node *parent,
                                       const GladeChild *place)
{
	auto node = std::make_unique<Node>();
	node->widget = &widget;
	node->parent = parent;
	node->place = place;
	node->gtk3 = gtk3_class(widget);
	if (!widget_class_known(c, node->gtk3.name)) {
		// What it holds stays in a box; alone, it leaves an empty label.
		node->gtk3 = has_ordinary_children(widget) ? Gtk3Class{"GtkBox", "vertical"}
		                                           : Gtk3Class{"GtkLabel"};
		if (!widget_class_known(c, node->gtk3.name))
			return nullptr;
	}
	const GladeProperty *entry = find_property(widget.properties, "has_entry");
	node->has_entry = node->gtk3.has_entry || (entry && libglade_boolean(entry->value) &&
	                                           c.catalog.is_a(node->gtk3.name, "GtkComboBox"));
	return node;
}

// How many ordinary children a container takes, as GTK 3 takes them; -1
// for any number.
static int room_in(const Conversion &c, const Node &node)
{
	const std::string &name = node.gtk3.name;
	auto is = [&](const char *kind) { return c.catalog.is_a(name, kind); };
	// A dialog is full with its own box, a combo box with its entry or
	// its cell, a button or an item with the label its property makes.
	bool labelled = (is("GtkButton") || is("GtkMenuItem")) &&
	                find_property(node.widget->properties, "label");
	// These hold a child of their own, or take none.
	bool full = is("GtkDialog") || is("GtkComboBox") || is("GtkToolButton") ||
	            is("GtkFontButton") || is("GtkColorButton") || is("GtkScaleButton") ||
	            is("GtkTreeView") || is("GtkIconView");
	if (!is("GtkContainer") || full || labelled)
		return 0;
	if (is("GtkPaned"))
		return 2;
	return is("GtkBin") ? 1 : -1;
}

// Whether GTK 3 lets `child` be an ordinary child of `parent`.
static bool fits_in(const Conversion &c, const Node &parent, const Node &child)
{
	auto parent_is = [&](const char *kind) { return c.catalog.is_a(parent.gtk3.name, kind); };
	auto child_is = [&](const char *kind) { return c.catalog.is_a(child.gtk3.name, kind); };
	if (child_is("GtkWindow") || child_is("GtkMenu"))
		return false;
	if (parent_is("GtkMenuShell") || child_is("GtkMenuItem"))
		return parent_is("GtkMenuShell") && child_is("GtkMenuItem");
	if (parent_is("GtkToolbar"))
		return child_is("GtkToolItem");
	return true;
}

static bool place_internal(const Conversion &c, Node &parent, Node &child)
{
	const std::string &name = child.place->internal_child;
	// libglade makes an image menu item's image its internal child.
	if (name == "image" && c.catalog.is_a(parent.gtk3.name, "GtkImageMenuItem") &&
	    c.catalog.is_a(child.gtk3.name, "GtkImage")) {
		child.as_property = "image";
		return true;
	}
	// GtkBuilder asks the parent and then each ancestor in turn, as
	// libglade does: a dialog's action area sits inside its box.
	for (Node *owner = &parent; owner; owner = owner->parent)
		if (offers_internal_child(owner->gtk3.name, owner->has_entry, name, c.catalog)) {
			child.internal = name;
			child.internal_owner = owner;
			return true;
		}
	return false;
}

struct Room {
	int left;
	bool page_before = false; // a notebook's tab needs a page to go on
};

// Where `child` goes in `parent`, as GTK 3 takes it; false when it cannot
// go in at all, as a widget libglade could not add either.
static bool place_child(const Conversion &c, Node &parent, Node &child, Room &room)
{
	const GladeChild &place = *child.place;
	const std::string &container = parent.gtk3.name;
	if (!place.internal_child.empty()) {
		if (place_internal(c, parent, child))
			return true;
		if (!parent.gtk3.internal_children_promoted)
			return false;
	}
	if (c.catalog.is_a(child.gtk3.name, "GtkMenu")) {
		if (!c.catalog.is_a(container, "GtkMenuItem") || parent.has_submenu)
			return false;
		parent.has_submenu = true;
		child.child_type = "submenu";
		return true;
	}
	if (!fits_in(c, parent, child))
		return false;
	const GladeProperty *type = find_property(place.packing, "type");
	if (type && type->value == "tab" && c.catalog.is_a(container, "GtkNotebook")) {
		child.child_type = "tab";
		return room.page_before;
	}
	if (type && type->value == "label_item" &&
	    (c.catalog.is_a(container, "GtkFrame") || c.catalog.is_a(container, "GtkExpander"))) {
		child.child_type = "label";
		return true;
	}
	if (room.left == 0)
		return false;
	if (room.left > 0)
		room.left--;
	room.page_before = true;
	return true;
}

static void name_node(Conversion &c, Node &node)
{
	const std::string &id = node.widget->id;
	if (!id.empty() && !c.used.count(id)) {
		node.id = id;
		c.used.insert(id);
		c.by_file_id.emplace(id, &node);
	} else {
		node.id = fresh_id(c, id.empty() ? "widget" : id);
	}
}

// libglade takes a button with a response id out of its dialog's action
// area and adds it back with gtk_dialog_add_action_widget(), at the end.
static void note_response(const Conversion &c, Node &area, Node &child)
{
	const GladeProperty *response = find_property(child.widget->properties, "response_id");
	if (area.internal != "action_area" || !area.internal_owner || !response ||
	    !c.catalog.is_a(area.internal_owner->gtk3.name, "GtkDialog"))
		return;
	long id = std::strtol(response->value.c_str(), nullptr, 0);
	if (id == 0 || id < G_MININT || id > G_MAXINT)
		return;
	child.responds = true;
	area.internal_owner->responses.emplace_back(child.id, id);
}

static void plan_children(Conversion &c, Node &node, std::size_t depth)
{
	if (depth >= glade_depth_limit)
		return;
	Room room{room_in(c, node)};
	for (const GladeChild &place : node.widget->children) {
		if (!place.widget)
			continue;
		std::unique_ptr<Node> child = make_node(c, *place.widget, &node, &place);
		if (!child || !place_child(c, node, *child, room))
			continue;
		name_node(c, *child);
		note_response(c, node, *child);
		plan_children(c, *child, depth + 1);
		node.children.push_back(std::move(child));
	}
	std::stable_partition(node.children.begin(), node.children.end(),
	                      [](const auto &child) { return !child->responds; });
}

static void collect_ids(const GladeWidget &root, std::set<std::string> &ids)
{
	std::vector<const GladeWidget *> pending{&root};
	while (!pending.empty()) {
		const GladeWidget *widget = pending.back();
		pending.pop_back();
		ids.insert(widget->id);
		for (const GladeChild &child : widget->children)
			if (child.widget)
				pending.push_back(child.widget.get());
	}
}

std::optional<std::string> builder_xml(const GladeFile &file, std::string_view root_id,
                                       const ClassCatalog &catalog)
{
	const GladeWidget *root = find_toplevel(file, root_id);
	for (std::size_t i = 0; !root && i < file.toplevels.size(); i++)
		root = find_widget(*file.toplevels[i], root_id);
	if (!root)
		return std::nullopt;
	Conversion c(catalog);
	collect_ids(*root, c.file_ids);
	std::unique_ptr<Node> node = make_node(c, *root, nullptr, nullptr);
	if (!node)
		return std::nullopt;
	name_node(c, *node);
	c.in_window = catalog.is_a(node->gtk3.name, "GtkWindow");
	plan_children(c, *node, 0);
	std::string tree;
	write_object(c, tree, 1, *node);
	return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<interface>\n"
	       "  <requires lib=\"gtk+\" version=\"3.0\"/>\n" +
	       c.beside + tree + "</interface>\n";
}
