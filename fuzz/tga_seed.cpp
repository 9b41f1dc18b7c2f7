// Writes one TGA seed of the fuzz corpus with the tests' own encoder:
//   tga_seed FILE [FIELD=VALUE]...
// Header fields, with TgaHeader's defaults: id_length, cmap, type, width,
// height, depth, descriptor. Then what follows the header:
//   id=N        N bytes of image id, 'A' onwards (default: id_length)
//   pixels=N    N bytes of pixel data, a fixed pattern (default: what the
//               header's size and depth call for)
//   zeros=N     N zero bytes after the pixels
//   footer=SIG  the version-2 footer with signature SIG
//   keep=N      only the first N bytes of all that
#include "tga_writer.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

struct Seed {
	TgaHeader header;
	std::optional<long> id, pixels, keep;
	long zeros = 0;
	std::optional<std::string> footer;
};

long number(const std::string &text)
{
	char *end = nullptr;
	long v = std::strtol(text.c_str(), &end, 0);
	if (text.empty() || *end || v < 0)
		throw std::invalid_argument("not a count: " + text);
	return v;
}

void set(Seed &s, const std::string &field, const std::string &value)
{
	const std::map<std::string, int TgaHeader::*> header_fields = {
	        {"id_length", &TgaHeader::id_length},
	        {"cmap", &TgaHeader::cmap},
	        {"type", &TgaHeader::type},
	        {"width", &TgaHeader::width},
	        {"height", &TgaHeader::height},
	        {"depth", &TgaHeader::depth},
	        {"descriptor", &TgaHeader::descriptor},
	};
	if (auto f = header_fields.find(field); f != header_fields.end())
		s.header.*(f->second) = int(number(value));
	else if (field == "id")
		s.id = number(value);
	else if (field == "pixels")
		s.pixels = number(value);
	else if (field == "zeros")
		s.zeros = number(value);
	else if (field == "keep")
		s.keep = number(value);
	else if (field == "footer")
		s.footer = value;
	else
		throw std::invalid_argument("no field " + field);
}

// Every byte differs from its neighbours, so a reader that skips or
// repeats one gets other pixels.
std::string pattern(long n)
{
	std::string p;
	for (long i = 0; i < n; i++)
		p += char((i * 37 + 11) & 0xff);
	return p;
}

std::string id_bytes(long n)
{
	std::string id;
	for (long i = 0; i < n; i++)
		id += char('A' + i);
	return id;
}

std::string bytes_of(const Seed &s)
{
	const TgaHeader &h = s.header;
	std::string file = tga_header(h) + id_bytes(s.id.value_or(h.id_length)) +
	                   pattern(s.pixels.value_or(long(h.width) * h.height * h.depth / 8)) +
	                   std::string(s.zeros, '\0');
	if (s.footer)
		file += tga_footer(*s.footer);
	return s.keep ? file.substr(0, *s.keep) : file;
}

} // namespace

int main(int argc, char **argv)
{
	if (argc < 2) {
		std::cerr << "usage: tga_seed FILE [FIELD=VALUE]...\n";
		return 2;
	}
	Seed seed;
	try {
		for (int i = 2; i < argc; i++) {
			std::string arg = argv[i];
			auto eq = arg.find('=');
			if (eq == std::string::npos)
				throw std::invalid_argument("not FIELD=VALUE: " + arg);
			set(seed, arg.substr(0, eq), arg.substr(eq + 1));
		}
	} catch (const std::exception &e) {
		std::cerr << "tga_seed: " << e.what() << "\n";
		return 2;
	}
	std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
	out << bytes_of(seed);
	out.close();
	if (!out) {
		std::cerr << "tga_seed: cannot write " << argv[1] << "\n";
		return 1;
	}
	return 0;
}
