// One window of the interface file, built with its handlers connected by
// name: by libglade on GTK+ 2, by GtkBuilder from the file converted on
// GTK 3. The toolkit owns the widgets; the tree only finds them by id.
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class InterfaceTree {
public:
	struct Impl;

	// The window `root` of the interface file as read at start-up, its
	// handlers connected; null when the toolkit cannot build it.
	static std::unique_ptr<InterfaceTree> build(const char *root);
	// The tree that built `window`, while it lives; null for another.
	static const InterfaceTree *of(GtkWidget *window);

	explicit InterfaceTree(std::unique_ptr<Impl> impl);
	~InterfaceTree();
	InterfaceTree(const InterfaceTree &) = delete;
	InterfaceTree &operator=(const InterfaceTree &) = delete;

	// The widget `id`; null when the window has none.
	GtkWidget *widget(const char *id) const;
	// Every widget of the window with its id, in no particular order.
	std::vector<std::pair<std::string, GtkWidget *>> widgets() const;

private:
	std::unique_ptr<Impl> impl_;
	GtkWidget *window_ = nullptr; // the root, cleared when it goes

	// Shared by both toolkits: the window knows its tree while both live.
	void bind_to(GtkWidget *window);
	void unbind();
};

using InterfaceTreePtr = std::unique_ptr<InterfaceTree>;
