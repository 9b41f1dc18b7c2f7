#include "interface/interface_file.h"

#include "base/regular_file.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

// The file as read at start-up.
static struct {
	std::string text;
	GladeFile parsed;
} interface;

void zelk_gui_error(const char *message)
{
	std::printf("%s\n", message);
	std::exit(1);
}

void zelk_widget_missing(const char *id)
{
	std::printf("libglade error : can't get *%s* widget\n", id);
	std::exit(1);
}

const GladeFile &zelk_interface_read()
{
	std::optional<std::string> text = read_regular_file(interface_file, interface_file_limit);
	if (!text)
		zelk_gui_error(interface_error);
	std::optional<GladeFile> parsed = parse_glade(*text);
	if (!parsed)
		zelk_gui_error(interface_error);
	interface.text = std::move(*text);
	interface.parsed = std::move(*parsed);
	return interface.parsed;
}

const std::string &interface_text()
{
	return interface.text;
}

const GladeFile &interface_parsed()
{
	return interface.parsed;
}
