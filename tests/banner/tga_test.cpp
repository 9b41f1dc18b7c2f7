#include <gtest/gtest.h>

#include <GL/gl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <sstream>
#include <string>
#include <vector>

#include "banner/gl.h"
#include "banner/tga.h"
#include "base/stdio_file.h"
#include "banner_window.h"
#include "process.h"
#include "tempdir.h"
#include "tga_writer.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

std::string str(const Bytes &b)
{
	return std::string(b.begin(), b.end());
}

int read_bytes(const std::string &bytes, TgaImage &img)
{
	std::string copy = bytes;
	StdioFile f(fmemopen(copy.data(), copy.size(), "rb"));
	return f ? readTGA(f.get(), img) : -1;
}

int read_path(const fs::path &path, TgaImage &img)
{
	StdioFile f(std::fopen(path.c_str(), "rb"));
	return f ? readTGA(f.get(), img) : TGA_ERR_OPEN;
}

// A 4x2 picture with every pixel distinct, as rows from the bottom up and
// pixels from the left: what OpenGL must receive whatever the file's order.
Bytes picture(int bytes_per_pixel)
{
	Bytes p;
	for (int i = 0; i < 8 * bytes_per_pixel; i++)
		p.push_back((unsigned char)(0x10 + i));
	return p;
}

} // namespace

TEST(TgaRead, ConvertsEveryDepthToOpenGLOrder)
{
	struct Case {
		int type, depth;
		PixelFormat format;
		Bytes first_stored, first_gl;
	} cases[] = {
	        {2, 24, PixelFormat::rgb, {0x10, 0x20, 0x30}, {0x30, 0x20, 0x10}},
	        {2, 32, PixelFormat::rgba, {1, 2, 3, 4}, {3, 2, 1, 4}},
	        {3, 8, PixelFormat::gray, {0x7f}, {0x7f}},
	        // Type and depth are not held against each other.
	        {3, 24, PixelFormat::rgb, {1, 2, 3}, {3, 2, 1}},
	        {2, 8, PixelFormat::gray, {9}, {9}},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.depth);
		int bpp = c.depth / 8;
		std::string pixels = str(c.first_stored) + std::string(3 * bpp, '\x55');
		TgaImage img;
		ASSERT_EQ(read_bytes(tga_header({0, 0, c.type, 2, 2, c.depth, 0}) + pixels, img),
		          TGA_OK);
		EXPECT_EQ(img.width, 2);
		EXPECT_EQ(img.height, 2);
		EXPECT_EQ(img.format, c.format);
		ASSERT_EQ(img.pixels.size(), size_t(4 * bpp));
		EXPECT_EQ(Bytes(img.pixels.begin(), img.pixels.begin() + bpp), c.first_gl);
	}
}

TEST(TgaRead, PutsBottomRowAndLeftColumnFirstForEveryOrigin)
{
	// Bits 5 and 4 give the origin; the low bits (alpha size) change nothing.
	for (int bpp : {1, 3, 4}) {
		for (int descriptor : {0x00, 0x20, 0x10, 0x30, 0x28}) {
			SCOPED_TRACE(testing::Message()
			             << bpp << " bytes, descriptor " << descriptor);
			Bytes want = picture(bpp);
			TgaImage img;
			std::string file =
			        tga_file({0, 0, 2, 4, 2, bpp * 8, descriptor}, str(want));
			ASSERT_EQ(read_bytes(file, img), TGA_OK);
			EXPECT_EQ(img.pixels, want);
		}
	}
}

TEST(TgaRead, SkipsTheImageId)
{
	Bytes want = picture(3);
	for (int length : {1, 5, 255}) {
		SCOPED_TRACE(length);
		std::string id(length, 'I');
		std::string file = tga_file({length, 0, 2, 4, 2, 24, 0}, str(want), id);
		TgaImage img;
		ASSERT_EQ(read_bytes(file, img), TGA_OK);
		EXPECT_EQ(img.pixels, want);
		// An ID that runs past the end of the file is no image.
		EXPECT_EQ(read_bytes(file.substr(0, 18 + length - 1), img), TGA_ERR_DATA);
	}
}

TEST(TgaRead, RefusesAtTheFirstFailingCheck)
{
	struct Case {
		TgaHeader h;
		int code;
	} cases[] = {
	        {{0, 1, 2, 2, 2, 24, 0}, TGA_ERR_TYPE},
	        {{0, 0, 1, 2, 2, 24, 0}, TGA_ERR_TYPE},
	        {{0, 0, 9, 2, 2, 24, 0}, TGA_ERR_TYPE},
	        {{0, 0, 10, 2, 2, 24, 0}, TGA_ERR_TYPE},
	        {{0, 0, 0, 2, 2, 24, 0}, TGA_ERR_TYPE},
	        {{0, 0, 2, 1, 2, 24, 0}, TGA_ERR_SIZE},
	        {{0, 0, 2, 4096, 2, 24, 0}, TGA_ERR_SIZE},
	        {{0, 0, 2, 0, 2, 24, 0}, TGA_ERR_SIZE},
	        {{0, 0, 2, 2, 3, 24, 0}, TGA_ERR_SIZE},
	        {{0, 0, 2, 2, 65535, 24, 0}, TGA_ERR_SIZE},
	        {{0, 0, 2, 2, 2, 16, 0}, TGA_ERR_DEPTH},
	        {{0, 0, 2, 2, 2, 15, 0}, TGA_ERR_DEPTH},
	        {{0, 0, 2, 2, 2, 0, 0}, TGA_ERR_DEPTH},
	        // Several faults: the first in the order type, size, depth wins.
	        {{0, 1, 2, 1, 2, 16, 0}, TGA_ERR_TYPE},
	        {{0, 0, 2, 2, 6, 16, 0}, TGA_ERR_SIZE},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(testing::Message()
		             << "type " << c.h.type << " cmap " << c.h.cmap << " " << c.h.width
		             << "x" << c.h.height << "x" << c.h.depth);
		TgaImage img;
		img.format = PixelFormat::gray;
		EXPECT_EQ(read_bytes(tga_header(c.h) + std::string(4 * 4, '\0'), img), c.code);
		EXPECT_EQ(img.format, PixelFormat::gray);
		EXPECT_EQ(img.width, 0);
		EXPECT_TRUE(img.pixels.empty());
	}
}

// Every side a file can give up to 4097, and the largest ones, which a
// 16-bit field holds where a signed reading would see -2 and -1.
TEST(TgaRead, AcceptsPowersOfTwoFrom2To2048OnEachSide)
{
	std::vector<int> sides = {65534, 65535};
	for (int v = 0; v <= 4097; v++)
		sides.push_back(v);
	for (int v : sides) {
		bool power = v >= 2 && v <= 2048 && (v & (v - 1)) == 0;
		std::string pixels(power ? 2 * v : 0, '\1');
		TgaImage wide, high;
		ASSERT_EQ(read_bytes(tga_header({0, 0, 3, v, 2, 8, 0}) + pixels, wide),
		          power ? TGA_OK : TGA_ERR_SIZE)
		        << v;
		ASSERT_EQ(read_bytes(tga_header({0, 0, 3, 2, v, 8, 0}) + pixels, high),
		          power ? TGA_OK : TGA_ERR_SIZE)
		        << v;
		ASSERT_EQ(power ? v : 0, high.height);
	}
}

TEST(TgaRead, NeedsEveryPixelButIgnoresWhatFollows)
{
	Bytes want = picture(4);
	std::string file = tga_file({0, 0, 2, 4, 2, 32, 0}, str(want));
	TgaImage img;
	img.format = PixelFormat::gray;
	EXPECT_EQ(read_bytes(file.substr(0, file.size() - 1), img), TGA_ERR_DATA);
	// A header cut short is refused before any of its bytes is looked at.
	for (size_t n : {0, 1, 3, 17})
		EXPECT_EQ(read_bytes(file.substr(0, n), img), TGA_ERR_HEADER) << n;
	EXPECT_EQ(img.format, PixelFormat::gray);
	EXPECT_TRUE(img.pixels.empty());
	ASSERT_EQ(read_bytes(file + tga_footer(), img), TGA_OK);
	EXPECT_EQ(img.pixels, want);
}

TEST(TgaRead, ReadsFilesOfOtherTools)
{
	const char *convert = "/usr/bin/convert", *pamtotga = "/usr/bin/pamtotga";
	if (access(convert, X_OK) != 0 || access(pamtotga, X_OK) != 0)
		GTEST_SKIP() << "needs ImageMagick and netpbm";
	TempDir dir;
	// Netpbm files hold the top row first; each test file holds the
	// same 4x2 picture, which must come out bottom row first.
	Bytes rgb = picture(3), rgba = picture(4), grey = picture(1);
	auto top_down = [](const Bytes &p) {
		size_t half = p.size() / 2;
		return std::string(p.begin() + half, p.end()) +
		       std::string(p.begin(), p.begin() + half);
	};
	write_file(dir / "in.ppm", "P6\n4 2\n255\n" + top_down(rgb));
	write_file(dir / "in.pgm", "P5\n4 2\n255\n" + top_down(grey));
	write_file(dir / "in.pam",
	           "P7\nWIDTH 4\nHEIGHT 2\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" +
	                   top_down(rgba));
	// Each tool's command line, split at spaces; in.* are the files above.
	// pamtotga writes to standard output, convert to a last argument added.
	struct Case {
		const char *command;
		int descriptor_origin;
		bool has_id;
		int code;
		Bytes want;
	} cases[] = {
	        {"pamtotga -norle -rgb in.ppm", 0x00, true, TGA_OK, rgb},
	        {"pamtotga -norle -mono in.pgm", 0x00, true, TGA_OK, grey},
	        {"convert in.ppm -orient TopLeft -compress None -type TrueColor", 0x20, false,
	         TGA_OK, rgb},
	        {"convert in.ppm -set comment crates -orient TopLeft -compress None -type "
	         "TrueColor",
	         0x20, true, TGA_OK, rgb},
	        {"convert in.pam -orient TopLeft -compress None", 0x20, false, TGA_OK, rgba},
	        {"convert in.pgm -orient TopLeft -compress None -type Grayscale", 0x20, false,
	         TGA_OK, grey},
	        {"pamtotga -cmap -norle in.ppm", 0x00, true, TGA_ERR_TYPE, Bytes()},
	        {"pamtotga -rgb in.ppm", 0x00, true, TGA_ERR_TYPE, Bytes()},
	        {"convert in.ppm -orient TopLeft -compress RLE", 0x20, false, TGA_ERR_TYPE,
	         Bytes()},
	};
	const std::string out = (dir / "out.tga").string();
	for (const Case &c : cases) {
		SCOPED_TRACE(c.command);
		std::istringstream words(c.command);
		std::string tool;
		words >> tool;
		std::vector<std::string> args = {"/usr/bin/" + tool};
		for (std::string word; words >> word;)
			args.push_back(word.rfind("in.", 0) == 0 ? (dir / word).string() : word);
		if (args[0] == convert)
			args.push_back("tga:" + out);
		fs::remove(out);
		ProcessResult run = run_process(args, std::chrono::seconds(20), quietly);
		ASSERT_EQ(run.status, 0);
		if (args[0] == pamtotga)
			write_file(out, run.output);
		std::string file = read_file(out);
		ASSERT_GE(file.size(), 18u);
		// The tools must have written what this case claims to test.
		ASSERT_EQ(file[17] & 0x30, c.descriptor_origin);
		ASSERT_EQ(file[0] != 0, c.has_id);
		TgaImage img;
		ASSERT_EQ(read_path(out, img), c.code);
		EXPECT_EQ(img.pixels, c.want);
	}
}

TEST(TgaRead, ShippedTextureIsUpright)
{
	std::string file = read_file(source_dir() / "data/textures/image.tga");
	EXPECT_EQ(tga_header({0, 0, 2, 512, 256, 24, 0}), file.substr(0, 18));
	TgaImage img;
	ASSERT_EQ(read_bytes(file, img), TGA_OK);
	auto texel = [&](int x, int y_from_top) {
		size_t o = (size_t(255 - y_from_top) * 512 + x) * 3;
		return Bytes(img.pixels.begin() + o, img.pixels.begin() + o + 3);
	};
	EXPECT_EQ(texel(74, 232), (Bytes{0xc8, 0x32, 0x1e})) << "red crate low on the left";
	EXPECT_EQ(texel(416, 60), (Bytes{0xff, 0xf3, 0xb0})) << "lamp light high on the right";
	EXPECT_EQ(texel(5, 2), (Bytes{0x5a, 0x3a, 0x34})) << "bricks at the top";
}

namespace {

struct Texture {
	GLint width = 0, height = 0, internal = 0;
	Bytes texels;
};

// The texture's level 0 as OpenGL holds it, read back in its own format.
Texture read_texture(GLuint name, GLenum format, int bytes_per_pixel)
{
	Texture t;
	glBindTexture(GL_TEXTURE_2D, name);
	glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &t.width);
	glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &t.height);
	glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &t.internal);
	t.texels.resize(size_t(t.width) * t.height * bytes_per_pixel);
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, t.texels.data());
	return t;
}

} // namespace

TEST(TgaLoad, UploadsTexelsAndSettings)
{
	REQUIRE_GL();
	TempDir dir;
	BannerWindow window;
	struct Case {
		int bpp;
		GLenum format;
	} cases[] = {{1, GL_LUMINANCE}, {3, GL_RGB}, {4, GL_RGBA}};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.bpp);
		Bytes want = picture(c.bpp);
		fs::path path = dir / "top-down.tga";
		write_file(path, tga_file({0, 0, 2, 4, 2, c.bpp * 8, tga_top_down}, str(want)));
		ASSERT_TRUE(window.with_gl([&] {
			glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
			ASSERT_EQ(banner::load_texture(path.c_str(), 7), TGA_OK);
			GLint bound, align, wrap_s, wrap_t, mag, min, env;
			glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
			glGetIntegerv(GL_UNPACK_ALIGNMENT, &align);
			glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap_s);
			glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap_t);
			glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
			glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
			glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
			EXPECT_EQ(bound, 7);
			EXPECT_EQ(align, 1);
			EXPECT_EQ(wrap_s, GL_REPEAT);
			EXPECT_EQ(wrap_t, GL_REPEAT);
			EXPECT_EQ(mag, GL_LINEAR);
			EXPECT_EQ(min, GL_LINEAR);
			EXPECT_EQ(env, GL_MODULATE);
			Texture t = read_texture(7, c.format, c.bpp);
			EXPECT_EQ(t.width, 4);
			EXPECT_EQ(t.height, 2);
			EXPECT_EQ(t.internal, GLint(c.format));
			EXPECT_EQ(t.texels, want);
			EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
		}));
	}
}

// The banner stays untextured, and one line on standard error names the
// file and says why in French.
TEST(TgaLoad, FailureLeavesOpenGLAlone)
{
	REQUIRE_GL();
	TempDir dir;
	BannerWindow window;
	std::string good = tga_header({0, 0, 3, 2, 2, 8, 0}) + "\1\2\3\4";
	write_file(dir / "short.tga", good.substr(0, good.size() - 1));
	write_file(dir / "bad-type.tga", tga_header({0, 0, 10, 2, 2, 8, 0}) + "\1\2\3\4");
	fs::create_directory(dir / "directory.tga");
	const struct {
		const char *file;
		int result;
		const char *why;
	} cases[] = {{"missing.tga", TGA_ERR_OPEN, "fichier ou dossier introuvable"},
	             {"directory.tga", TGA_ERR_OPEN, "pas un fichier ordinaire"},
	             {"short.tga", TGA_ERR_DATA, "incomplète"},
	             {"bad-type.tga", TGA_ERR_TYPE, "non compressée"}};
	ASSERT_TRUE(window.with_gl([&] {
		glBindTexture(GL_TEXTURE_2D, 0);
		glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
		for (const auto &c : cases) {
			std::string path = (dir / c.file).string();
			testing::internal::CaptureStderr();
			EXPECT_EQ(banner::load_texture(path.c_str(), 3), c.result);
			std::string said = testing::internal::GetCapturedStderr();
			std::string named = "Image de la bannière « " + path + " » non chargée : ";
			EXPECT_EQ(said.rfind(named, 0), 0u) << said;
			EXPECT_NE(said.find(c.why), std::string::npos) << said;
			EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
		}
		GLint bound, align;
		glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
		glGetIntegerv(GL_UNPACK_ALIGNMENT, &align);
		EXPECT_EQ(bound, 0);
		EXPECT_EQ(align, 4);
		EXPECT_FALSE(glIsTexture(3));
	}));
}

TEST(TgaLoad, ReadsAFileItMayNotWrite)
{
	REQUIRE_GL();
	TempDir dir;
	BannerWindow window;
	const fs::perms read =
	        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
	const fs::perms enter =
	        fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
	fs::permissions(dir.path(), read | enter | fs::perms::owner_write);
	fs::path path = dir / "read-only.tga";
	write_file(path, tga_header({0, 0, 3, 2, 2, 8, 0}) + "\1\2\3\4");
	fs::permissions(path, read);
	// Root may write anything; as another file user it may not.
	int rw = -1, result = 0;
	{
		AsFileUser user;
		rw = open(path.c_str(), O_RDWR);
		window.with_gl([&] { result = banner::load_texture(path.c_str(), 4); });
	}
	if (rw >= 0)
		close(rw);
	ASSERT_LT(rw, 0) << "the file is writable after all";
	EXPECT_EQ(result, TGA_OK);
}

// Opening a FIFO for reading waits for a writer: the banner's start-up must
// not, nor read a device or a directory as if it were an image.
TEST(TgaRead, RefusesAtOnceWhatIsNotARegularFile)
{
	TempDir dir;
	ASSERT_EQ(mkfifo((dir / "fifo.tga").c_str(), 0644), 0);
	fs::create_directory(dir / "directory.tga");
	fs::create_symlink(dir / "fifo.tga", dir / "link-to-fifo.tga");
	for (const char *name : {"fifo.tga", "directory.tga", "link-to-fifo.tga"}) {
		SCOPED_TRACE(name);
		fs::path path = dir / name;
		TgaImage img;
		auto load =
		        std::async(std::launch::async, [&] { return loadTGA(path.c_str(), img); });
		if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
			// A writer lets a reader stuck in open() go, so the test can end.
			int writer = open((dir / "fifo.tga").c_str(), O_WRONLY | O_NONBLOCK);
			if (writer >= 0)
				close(writer);
			load.wait();
			ADD_FAILURE() << "loading blocked";
			continue;
		}
		EXPECT_EQ(load.get(), TGA_ERR_OPEN);
		EXPECT_TRUE(img.pixels.empty());
	}
}
