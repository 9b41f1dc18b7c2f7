// The game directory's file is read first, since asking the icon theme
// whether it has the name reads the whole theme, a tenth of the launcher's
// start. Anyone may have put anything in its place: it is read as the
// interface file is, and its picture's size is looked at before any of it
// is decoded, since a small file can hold a picture of gigabytes.
#include "launcher/window_icon.h"

#include "base/glib_ptr.h"
#include "base/regular_file.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <optional>
#include <string>

// The name the desktop knows the launcher's icon by, and the file of it in
// the game directory.
static const char *const icon_name = "gtktrovik";
static const char *const icon_file = "gtktrovik.png";

// Desktops show icons of 256 pixels a side at most; a larger picture is no
// icon.
static const int icon_side_limit = 1024;
// A file this long holds no icon either.
static const std::size_t icon_file_limit = 4 * 1024 * 1024;
// The picture's header comes in the first of these pieces; decoding goes no
// further once its size is known to be too large.
static const std::size_t piece = 4096;

static void refuse_large(GdkPixbufLoader *, int width, int height, gpointer too_large)
{
	if (width <= 0 || height <= 0 || width > icon_side_limit || height > icon_side_limit)
		*static_cast<bool *>(too_large) = true;
}

static GdkPixbuf *decode_icon(const std::string &bytes)
{
	GObjectPtr<GdkPixbufLoader> loader(gdk_pixbuf_loader_new());
	bool too_large = false;
	g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(refuse_large), &too_large);
	const auto *data = reinterpret_cast<const guchar *>(bytes.data());
	bool written = true;
	for (std::size_t at = 0; at < bytes.size() && written && !too_large; at += piece) {
		GError *raw = nullptr;
		written = gdk_pixbuf_loader_write(loader.get(), data + at,
		                                  std::min(piece, bytes.size() - at), &raw);
		GErrorPtr ignored(raw);
	}
	GError *raw = nullptr;
	bool closed = gdk_pixbuf_loader_close(loader.get(), &raw);
	GErrorPtr ignored(raw);
	GdkPixbuf *icon = gdk_pixbuf_loader_get_pixbuf(loader.get());
	if (!written || !closed || too_large || !icon)
		return nullptr;
	return GDK_PIXBUF(g_object_ref(icon));
}

void set_window_icon()
{
	std::optional<std::string> bytes = read_regular_file(icon_file, icon_file_limit);
	GObjectPtr<GdkPixbuf> icon(bytes ? decode_icon(*bytes) : nullptr);
	if (icon)
		gtk_window_set_default_icon(icon.get());
	else
		gtk_window_set_default_icon_name(icon_name);
}
