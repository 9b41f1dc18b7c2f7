// The interface file as libglade 2 reads it, held as plain data: the one
// reading both toolkits' builds share, for the start-up checks and, on
// GTK 3, for the conversion to GtkBuilder's form. No toolkit here.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A widget's property, a child's packing property or an ATK property.
struct GladeProperty {
	std::string name; // as written: '-' and '_' both occur
	std::string value;
	bool translatable = false;
	// libglade's context="yes": the value starts with its context and '|'.
	bool has_context = false;
	std::string comments;
};

struct GladeSignal {
	std::string name, handler;
	std::string object; // handed to the handler first when given
	bool after = false;
};

struct GladeAccelerator {
	std::string key, modifiers, signal;
};

struct GladeAtkAction {
	std::string name, description;
};

struct GladeAtkRelation {
	std::string target, type;
};

struct GladeAccessibility {
	std::vector<GladeProperty> properties;
	std::vector<GladeAtkAction> actions;
	std::vector<GladeAtkRelation> relations;
};

struct GladeWidget;

struct GladeChild {
	std::string internal_child;
	std::unique_ptr<GladeWidget> widget; // null for a <placeholder/>
	std::vector<GladeProperty> packing;
};

struct GladeWidget {
	std::string class_name, id;
	std::vector<GladeProperty> properties;
	GladeAccessibility accessibility;
	std::vector<GladeSignal> signals;
	std::vector<GladeAccelerator> accelerators;
	std::vector<GladeChild> children;
};

struct GladeFile {
	std::vector<std::string> required_libraries; // <requires lib="..."/>
	std::vector<std::unique_ptr<GladeWidget>> toplevels;
};

// Deeper nesting than any window has: a file nested deeper is refused.
inline constexpr std::size_t glade_depth_limit = 256;

// The file, when it is a well-formed libglade 2 document in UTF-8; nothing
// for anything else. Elements libglade does not know are skipped with
// what they hold, as libglade skips them.
std::optional<GladeFile> parse_glade(std::string_view text);

const GladeWidget *find_toplevel(const GladeFile &file, std::string_view id);

// The first widget called `id` in `root`'s tree, `root` included, depth
// first.
const GladeWidget *find_widget(const GladeWidget &root, std::string_view id);

// The last property called `name` ('-' and '_' alike), as libglade keeps
// the last one given; null when there is none.
const GladeProperty *find_property(const std::vector<GladeProperty> &properties,
                                   std::string_view name);
