// What a dangling trovik.exe names, read whole whatever size its link
// gives.
#include "tempdir.h"

#include "base/link_target.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(LinkTarget, IsReadWholeWhateverSizeTheLinkGives)
{
	TempDir dir;
	const std::string long_target(4000, 'x');
	fs::create_symlink("absent.exe", dir / "short");
	fs::create_symlink(long_target, dir / "long");
	write_file(dir / "file", "");
	// Longer than a first guess at a link's length.
	const fs::path deep = dir / std::string(200, 'd') / std::string(200, 'e');
	fs::create_directories(deep);
	ScopedChdir in(deep);
	const struct {
		fs::path link;
		std::optional<std::string> target;
	} cases[] = {
	        {dir / "short", "absent.exe"},
	        {dir / "long", long_target},
	        // The links of /proc give no size.
	        {"/proc/self/cwd", deep.string()},
	        {dir / "file", std::nullopt},
	        {dir / "missing", std::nullopt},
	};
	for (const auto &c : cases)
		EXPECT_EQ(link_target(c.link.string()), c.target) << c.link;
}
