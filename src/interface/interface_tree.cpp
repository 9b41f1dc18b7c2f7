#include "interface/interface_tree.h"

static const char tree_key[] = "trovik-interface-tree";

const InterfaceTree *InterfaceTree::of(GtkWidget *window)
{
	return static_cast<const InterfaceTree *>(g_object_get_data(G_OBJECT(window), tree_key));
}

void InterfaceTree::bind_to(GtkWidget *window)
{
	if (!window)
		return;
	window_ = window;
	g_object_add_weak_pointer(G_OBJECT(window_), reinterpret_cast<gpointer *>(&window_));
	g_object_set_data(G_OBJECT(window_), tree_key, this);
}

void InterfaceTree::unbind()
{
	if (!window_)
		return;
	g_object_set_data(G_OBJECT(window_), tree_key, nullptr);
	g_object_remove_weak_pointer(G_OBJECT(window_), reinterpret_cast<gpointer *>(&window_));
	window_ = nullptr;
}
