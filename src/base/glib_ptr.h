// Owning pointers for what GLib hands over: an object to unreference, a
// block to free, an error to free.
#pragma once

#include <glib-object.h>

#include <memory>

struct GObjectUnref {
	void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFree {
	void operator()(gpointer block) const { g_free(block); }
};
using GCharPtr = std::unique_ptr<gchar, GFree>;

struct GErrorFree {
	void operator()(GError *error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;
