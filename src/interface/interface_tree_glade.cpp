// GTK+ 2: libglade builds the window from the text of the file and finds
// the handlers in the program's dynamic symbol table.
#include "interface/interface_tree.h"

#include "base/glib_ptr.h"
#include "interface/interface_file.h"

#include <glade/glade.h>

struct InterfaceTree::Impl {
	GObjectPtr<GladeXML> xml;
};

InterfaceTree::InterfaceTree(std::unique_ptr<Impl> impl) : impl_(std::move(impl))
{
}

InterfaceTree::~InterfaceTree()
{
	unbind();
}

std::unique_ptr<InterfaceTree> InterfaceTree::build(const char *root)
{
	const std::string &text = interface_text();
	GObjectPtr<GladeXML> xml(
	        glade_xml_new_from_buffer(text.data(), int(text.size()), root, nullptr));
	if (!xml)
		return nullptr;
	glade_xml_signal_autoconnect(xml.get());
	auto tree = std::make_unique<InterfaceTree>(std::make_unique<Impl>(Impl{std::move(xml)}));
	tree->bind_to(tree->widget(root));
	return tree;
}

GtkWidget *InterfaceTree::widget(const char *id) const
{
	return glade_xml_get_widget(impl_->xml.get(), id);
}

std::vector<std::pair<std::string, GtkWidget *>> InterfaceTree::widgets() const
{
	std::vector<std::pair<std::string, GtkWidget *>> all;
	GList *list = glade_xml_get_widget_prefix(impl_->xml.get(), "");
	for (GList *l = list; l; l = l->next)
		all.emplace_back(glade_get_widget_name(GTK_WIDGET(l->data)), GTK_WIDGET(l->data));
	g_list_free(list);
	return all;
}
