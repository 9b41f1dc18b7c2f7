// A stdio stream, closed with its owner.
#pragma once

#include <cstdio>
#include <memory>

struct StdioClose {
	void operator()(std::FILE *f) const { std::fclose(f); }
};
using StdioFile = std::unique_ptr<std::FILE, StdioClose>;
