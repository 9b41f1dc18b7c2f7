#include "interface/gtk3_catalog.h"

#include "base/type_named.h"

#include <gtk/gtk.h>

#include <limits>
#include <map>

namespace {

class Gtk3Catalog final : public ClassCatalog {
public:
	bool has_class(const std::string &name) const override;
	bool is_a(const std::string &name, const std::string &ancestor) const override;
	std::optional<PropertyInfo> property(const std::string &class_name,
	                                     const std::string &name) const override;
	std::optional<PropertyInfo> child_property(const std::string &container,
	                                           const std::string &name) const override;
	bool has_signal(const std::string &class_name, const std::string &name) const override;
	bool is_accelerator_signal(const std::string &class_name,
	                           const std::string &name) const override;
	std::vector<NamedValue> named_values(const std::string &type) const override;
	bool is_key_name(const std::string &name) const override;

private:
	GType type(const std::string &name) const;
	// Names looked up once: a window asks about the same few classes
	// again and again.
	mutable std::map<std::string, GType> types_;
};

} // namespace

GType Gtk3Catalog::type(const std::string &name) const
{
	auto known = types_.find(name);
	if (known != types_.end())
		return known->second;
	GType type = type_named(name.c_str());
	// Classes are kept for the process's life once looked at, as the
	// toolkit keeps those it builds.
	if (G_TYPE_IS_CLASSED(type))
		g_type_class_ref(type);
	types_.emplace(name, type);
	return type;
}

bool Gtk3Catalog::has_class(const std::string &name) const
{
	GType t = type(name);
	return G_TYPE_IS_OBJECT(t) && !G_TYPE_IS_ABSTRACT(t);
}

bool Gtk3Catalog::is_a(const std::string &name, const std::string &ancestor) const
{
	GType t = type(name), a = type(ancestor);
	return t && a && g_type_is_a(t, a);
}

static void set_range(PropertyInfo &info, GParamSpec *pspec)
{
	auto range = [&](auto *s) {
		info.minimum = double(s->minimum);
		info.maximum = double(s->maximum);
	};
	if (G_IS_PARAM_SPEC_INT(pspec))
		range(G_PARAM_SPEC_INT(pspec));
	else if (G_IS_PARAM_SPEC_UINT(pspec))
		range(G_PARAM_SPEC_UINT(pspec));
	else if (G_IS_PARAM_SPEC_LONG(pspec))
		range(G_PARAM_SPEC_LONG(pspec));
	else if (G_IS_PARAM_SPEC_ULONG(pspec))
		range(G_PARAM_SPEC_ULONG(pspec));
	else if (G_IS_PARAM_SPEC_INT64(pspec))
		range(G_PARAM_SPEC_INT64(pspec));
	else if (G_IS_PARAM_SPEC_UINT64(pspec))
		range(G_PARAM_SPEC_UINT64(pspec));
	else if (G_IS_PARAM_SPEC_CHAR(pspec))
		range(G_PARAM_SPEC_CHAR(pspec));
	else if (G_IS_PARAM_SPEC_UCHAR(pspec))
		range(G_PARAM_SPEC_UCHAR(pspec));
	else if (G_IS_PARAM_SPEC_FLOAT(pspec))
		range(G_PARAM_SPEC_FLOAT(pspec));
	else if (G_IS_PARAM_SPEC_DOUBLE(pspec))
		range(G_PARAM_SPEC_DOUBLE(pspec));
	else if (G_IS_PARAM_SPEC_UNICHAR(pspec))
		info.maximum = 0x10FFFF;
}

static ValueKind kind_of(GType value_type)
{
	switch (G_TYPE_FUNDAMENTAL(value_type)) {
	case G_TYPE_BOOLEAN:
		return ValueKind::boolean;
	case G_TYPE_CHAR:
	case G_TYPE_INT:
	case G_TYPE_LONG:
	case G_TYPE_INT64:
		return ValueKind::integer;
	case G_TYPE_UCHAR:
	case G_TYPE_UINT:
	case G_TYPE_ULONG:
	case G_TYPE_UINT64:
		return ValueKind::unsigned_integer;
	case G_TYPE_FLOAT:
	case G_TYPE_DOUBLE:
		return ValueKind::floating;
	case G_TYPE_STRING:
		return ValueKind::string;
	case G_TYPE_ENUM:
		return ValueKind::enumeration;
	case G_TYPE_FLAGS:
		return ValueKind::flags;
	case G_TYPE_OBJECT:
		return ValueKind::object;
	default:
		return ValueKind::other;
	}
}

static std::optional<PropertyInfo> writable(GParamSpec *pspec)
{
	if (!pspec || !(pspec->flags & G_PARAM_WRITABLE))
		return std::nullopt;
	PropertyInfo info;
	info.kind = kind_of(pspec->value_type);
	info.value_type = g_type_name(pspec->value_type);
	set_range(info, pspec);
	return info;
}

std::optional<PropertyInfo> Gtk3Catalog::property(const std::string &class_name,
                                                  const std::string &name) const
{
	GType t = type(class_name);
	if (!G_TYPE_IS_OBJECT(t))
		return std::nullopt;
	auto *klass = static_cast<GObjectClass *>(g_type_class_peek(t));
	return writable(g_object_class_find_property(klass, name.c_str()));
}

std::optional<PropertyInfo> Gtk3Catalog::child_property(const std::string &container,
                                                        const std::string &name) const
{
	GType t = type(container);
	if (!t || !g_type_is_a(t, GTK_TYPE_CONTAINER))
		return std::nullopt;
	auto *klass = static_cast<GObjectClass *>(g_type_class_peek(t));
	return writable(gtk_container_class_find_child_property(klass, name.c_str()));
}

// GtkBuilder refuses a signal that g_signal_parse_name() refuses.
static guint signal_id(GType t, const std::string &name)
{
	guint id = 0;
	GQuark detail = 0;
	if (!t || !g_signal_parse_name(name.c_str(), t, &id, &detail, FALSE))
		return 0;
	return id;
}

bool Gtk3Catalog::has_signal(const std::string &class_name, const std::string &name) const
{
	return signal_id(type(class_name), name) != 0;
}

bool Gtk3Catalog::is_accelerator_signal(const std::string &class_name,
                                        const std::string &name) const
{
	guint id = signal_id(type(class_name), name);
	if (!id || name.find(':') != std::string::npos)
		return false;
	GSignalQuery query;
	g_signal_query(id, &query);
	return (query.signal_flags & G_SIGNAL_ACTION) && query.return_type == G_TYPE_NONE &&
	       query.n_params == 0;
}

std::vector<NamedValue> Gtk3Catalog::named_values(const std::string &type_name) const
{
	GType t = type(type_name);
	std::vector<NamedValue> values;
	if (G_TYPE_IS_ENUM(t)) {
		auto *klass = static_cast<GEnumClass *>(g_type_class_peek(t));
		for (guint i = 0; i < klass->n_values; i++)
			values.push_back({std::uint64_t(std::int64_t(klass->values[i].value)),
			                  klass->values[i].value_name,
			                  klass->values[i].value_nick});
	} else if (G_TYPE_IS_FLAGS(t)) {
		auto *klass = static_cast<GFlagsClass *>(g_type_class_peek(t));
		for (guint i = 0; i < klass->n_values; i++)
			values.push_back({klass->values[i].value, klass->values[i].value_name,
			                  klass->values[i].value_nick});
	}
	return values;
}

bool Gtk3Catalog::is_key_name(const std::string &name) const
{
	guint key = gdk_keyval_from_name(name.c_str());
	return key != 0 && key != GDK_KEY_VoidSymbol;
}

std::unique_ptr<ClassCatalog> gtk3_catalog()
{
	// Types GTK 3 names in its properties but registers only when first
	// used.
	g_type_ensure(ATK_TYPE_OBJECT);
	g_type_ensure(ATK_TYPE_RELATION_TYPE);
	g_type_ensure(GDK_TYPE_MODIFIER_TYPE);
	g_type_ensure(GDK_TYPE_PIXBUF);
	return std::make_unique<Gtk3Catalog>();
}
