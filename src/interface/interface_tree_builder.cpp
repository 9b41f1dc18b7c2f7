// GTK 3: the window's part of the libglade file is written out in
// GtkBuilder's format, asking GTK 3 itself what it has, and GtkBuilder
// builds it and finds the handlers in the program's dynamic symbol table.
#include "interface/interface_tree.h"

#include "base/glib_ptr.h"
#include "interface/builder_xml.h"
#include "interface/gtk3_catalog.h"
#include "interface/interface_file.h"

struct InterfaceTree::Impl {
	GObjectPtr<GtkBuilder> builder;
};

// What GTK 3 has, asked once and kept for every window built after.
static struct {
	std::unique_ptr<ClassCatalog> catalog;
} builder_state;

InterfaceTree::InterfaceTree(std::unique_ptr<Impl> impl) : impl_(std::move(impl))
{
}

InterfaceTree::~InterfaceTree()
{
	unbind();
}

std::unique_ptr<InterfaceTree> InterfaceTree::build(const char *root)
{
	if (!builder_state.catalog)
		builder_state.catalog = gtk3_catalog();
	std::optional<std::string> xml =
	        builder_xml(interface_parsed(), root, *builder_state.catalog);
	if (!xml)
		return nullptr;
	GObjectPtr<GtkBuilder> builder(gtk_builder_new());
	GError *raw = nullptr;
	if (!gtk_builder_add_from_string(builder.get(), xml->data(), xml->size(), &raw)) {
		GErrorPtr refused(raw);
		return nullptr;
	}
	gtk_builder_connect_signals(builder.get(), nullptr);
	auto tree =
	        std::make_unique<InterfaceTree>(std::make_unique<Impl>(Impl{std::move(builder)}));
	tree->bind_to(tree->widget(root));
	return tree;
}

GtkWidget *InterfaceTree::widget(const char *id) const
{
	GObject *object = gtk_builder_get_object(impl_->builder.get(), id);
	return object && GTK_IS_WIDGET(object) ? GTK_WIDGET(object) : nullptr;
}

std::vector<std::pair<std::string, GtkWidget *>> InterfaceTree::widgets() const
{
	std::vector<std::pair<std::string, GtkWidget *>> all;
	GSList *objects = gtk_builder_get_objects(impl_->builder.get());
	for (GSList *l = objects; l; l = l->next)
		if (GTK_IS_WIDGET(l->data))
			all.emplace_back(gtk_buildable_get_name(GTK_BUILDABLE(l->data)),
			                 GTK_WIDGET(l->data));
	g_slist_free(objects);
	return all;
}
