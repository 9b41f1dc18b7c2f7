// What the conversion asks the toolkit about its classes: whether a class,
// a property, a child property or a signal exists, and what values a
// property takes. GTK 3 answers through GObject introspection
// (gtk3_catalog.h); a test answers as a toolkit lacking some classes would.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class ValueKind {
	boolean,
	integer, // signed, of any width
	unsigned_integer,
	floating, // float or double
	string,
	enumeration,
	flags,
	object,
	other, // boxed values and the rest, which the conversion leaves out
};

struct PropertyInfo {
	ValueKind kind = ValueKind::other;
	std::string value_type; // the type's name for enumerations, flags and objects
	// The range a number must lie in.
	double minimum = 0, maximum = 0;
};

// One value of an enumeration or a flags type.
struct NamedValue {
	std::uint64_t value = 0;
	std::string name, nick; // GTK_WIN_POS_CENTER, center
};

class ClassCatalog {
public:
	virtual ~ClassCatalog() = default;
	// A class that can be instantiated: not abstract, not an interface.
	virtual bool has_class(const std::string &name) const = 0;
	// Whether `name` is `ancestor` or derives from it (or implements it);
	// false when either is unknown.
	virtual bool is_a(const std::string &name, const std::string &ancestor) const = 0;
	// A property that can be written; nothing when there is none, or it is
	// read-only.
	virtual std::optional<PropertyInfo> property(const std::string &class_name,
	                                             const std::string &name) const = 0;
	// A child property of the container class, writable.
	virtual std::optional<PropertyInfo> child_property(const std::string &container,
	                                                   const std::string &name) const = 0;
	// A signal, with a detail ("notify::label") or without.
	virtual bool has_signal(const std::string &class_name, const std::string &name) const = 0;
	// A signal an accelerator can emit: an action signal without arguments
	// or result.
	virtual bool is_accelerator_signal(const std::string &class_name,
	                                   const std::string &name) const = 0;
	// The values of an enumeration or flags type; empty when unknown.
	virtual std::vector<NamedValue> named_values(const std::string &type) const = 0;
	virtual bool is_key_name(const std::string &name) const = 0;
};
