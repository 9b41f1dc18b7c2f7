// The real gtktrovik, started in a scratch working directory, and windows
// built in this process from other interface files than ours.
#include "gui.h"
#include "process.h"
#include "tempdir.h"

#include "interface/interface_file.h"
#include "interface/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/glib_ptr.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

// The interface file in `dir` with `from`, which must be in it, made `to`.
static void edit_glade(const fs::path &dir, const std::string &from, const std::string &to)
{
	std::string glade = read_file(dir / "gtktrovik.glade");
	auto at = glade.find(from);
	ASSERT_NE(at, std::string::npos) << from;
	glade.replace(at, from.size(), to);
	write_file(dir / "gtktrovik.glade", glade);
}

// The interface file with the widget `id` renamed, so that it cannot be found.
static void hide_widget(const fs::path &dir, const std::string &id)
{
	edit_glade(dir, "id=\"" + id + "\"", "id=\"" + id + "_absent\"");
}

TEST(Startup, MissingOrBrokenInterfaceFileEndsWithLoadingError)
{
	TempDir dir;
	ProcessResult missing = run_launcher(dir.path());
	EXPECT_EQ(missing.status, 1);
	EXPECT_EQ(missing.output, "zelk.glade loading error\n\n");

	write_file(dir / "gtktrovik.glade", "this is not an interface file\n");
	ProcessResult broken = run_launcher(dir.path());
	EXPECT_EQ(broken.status, 1);
	EXPECT_EQ(broken.output, "zelk.glade loading error\n\n");
}

static const char *const required_ids[] = {"main",       "langue",       "resolution",   "joueur",
                                           "nbretoiles", "checkbutton4", "checkbutton3", "vbox1",
                                           "ajout",      "entry1",       "suppression",  "label22"};

TEST(Startup, MissingWidgetIsNamedInLookupOrder)
{
	// Each id in turn, with every id after it missing too: the first
	// missing one in lookup order is the one reported. And vbox1 alone,
	// once the seven before it are found.
	// The sub-windows' ids are checked at start-up too, not when the user
	// first opens one.
	const auto &order = required_ids;
	std::vector<std::vector<std::string>> hidden;
	for (std::size_t first = 0; first < std::size(order); first++)
		hidden.emplace_back(std::begin(order) + first, std::end(order));
	hidden.push_back({"vbox1"});
	for (const std::vector<std::string> &ids : hidden) {
		TempDir dir;
		lay_out_game_dir(dir.path());
		for (const std::string &id : ids)
			hide_widget(dir.path(), id);
		ProcessResult r = run_launcher(dir.path());
		EXPECT_EQ(r.status, 1) << ids.front();
		EXPECT_EQ(r.output, "libglade error : can't get *" + ids.front() + "* widget\n");
	}
}

// Our extras renamed away: a file with only what is required.
static void keep_only_required(const fs::path &dir)
{
	for (const char *id : {"bouton_jouer", "aide_joueur", "erreur_ajout", "erreur_suppression",
	                       "bouton_supprimer", "annuler_suppression"})
		hide_widget(dir, id);
}

// Bound to the selector's "changed" as well, creating and deleting would
// rebuild the selector from inside its own "changed".
static void bind_to_player_changes(const fs::path &dir)
{
	edit_glade(dir, "handler=\"change_joueur\"/>",
	           "handler=\"change_joueur\"/><signal name=\"changed\" handler=\"creer_joueur\"/>"
	           "<signal name=\"changed\" handler=\"supprimer_joueur\"/>");
}

struct InterfaceCase {
	std::string what;
	std::function<void(const fs::path &)> make;
	std::string output; // empty: the launcher comes up and stays
};

static InterfaceCase retyped(const std::string &id, const std::string &kind)
{
	auto make = [=](auto &d) {
		std::string glade = read_file(d / "gtktrovik.glade");
		std::string::size_type at = glade.find("\" id=\"" + id + "\"");
		std::string::size_type name = glade.rfind("class=\"", at) + 7;
		write_file(d / "gtktrovik.glade", glade.replace(name, at - name, kind));
	};
	return {id + " a " + kind, make, "libglade error : can't get *" + id + "* widget\n"};
}

// A widget of another kind is as good as none; a file that is not a file,
// or far too long for one, is not read.
TEST(Startup, InterfaceFilesAreTakenOrRefusedAtOnce)
{
	auto replaced = [](const fs::path &d) {
		return fs::remove(d / "gtktrovik.glade"), d / "gtktrovik.glade";
	};
	const std::string not_loaded = "zelk.glade loading error\n\n",
	                  padding(interface_file_limit, ' ');
	std::vector<InterfaceCase> cases = {
	        {"only what is required", keep_only_required, ""},
	        {"a FIFO", [=](auto &d) { ASSERT_EQ(mkfifo(replaced(d).c_str(), 0600), 0); },
	         not_loaded},
	        {"/dev/zero", [=](auto &d) { fs::create_symlink("/dev/zero", replaced(d)); },
	         not_loaded},
	        {"over the bound", [&](auto &d) { edit_glade(d, "-->", padding + "-->"); },
	         not_loaded},
	        retyped("checkbutton3", "GtkToggleButton")};
	for (const char *id : required_ids)
		cases.push_back(retyped(id, "GtkHSeparator"));
	for (const InterfaceCase &c : cases) {
		SCOPED_TRACE(c.what);
		TempDir dir;
		lay_out_game_dir(dir.path());
		c.make(dir.path());
		if (c.output.empty()) {
			LauncherProcess p(dir.path());
			EXPECT_FALSE(p.wait(std::chrono::milliseconds(1500))) << p.output();
			EXPECT_EQ(p.output(), "");
			continue;
		}
		ProcessResult r = run_launcher(dir.path(), std::chrono::seconds(10));
		EXPECT_EQ(r.status, 1);
		EXPECT_EQ(r.output, c.output);
	}
}

TEST(Startup, ComesUpWithoutProfilesDirectoryAndStaysQuiet)
{
	TempDir dir;
	lay_out_game_dir(dir.path());
	fs::remove(dir / "profils");
	LauncherProcess p(dir.path());
	EXPECT_FALSE(p.wait(std::chrono::milliseconds(1500))) << "launcher ended on its own";
	EXPECT_EQ(p.output(), "");
	EXPECT_FALSE(fs::exists(dir / "profils")) << "start-up must not create anything";
}

// libglade finds the handlers by name in the program's dynamic symbol table;
// nothing else of ours belongs there.
TEST(Startup, ExportsExactlyTheEightHandlers)
{
	ProcessResult nm = run_process({"nm", "-D", "--defined-only", GTKTROVIK_BIN});
	ASSERT_EQ(nm.status, 0);
	std::istringstream lines(nm.output);
	std::set<std::string> functions;
	std::string line;
	while (std::getline(lines, line)) {
		std::istringstream fields(line);
		std::string addr, type, name;
		fields >> addr >> type >> name;
		// The linker re-exports standard-library template copies that
		// libstdc++ itself also defines; they are not the launcher's.
		bool standard = name.rfind("_ZSt", 0) == 0 || name.rfind("_ZNSt", 0) == 0 ||
		                name.rfind("_ZNKSt", 0) == 0;
		if ((type == "T" || type == "W" || type == "i") && !standard)
			functions.insert(name);
	}
	std::set<std::string> handlers = {"lancer_jeu",
	                                  "change_joueur",
	                                  "ouvrir_fenetre_ajout",
	                                  "fermer_fenetre_ajout",
	                                  "creer_joueur",
	                                  "ouvrir_fenetre_suppression",
	                                  "fermer_fenetre_suppression",
	                                  "supprimer_joueur"};
	EXPECT_EQ(functions, handlers);
}

// Without GL the banner stays empty; the launcher still opens and runs. GLX
// may be missing, or offered with no context to be had: the server refuses
// indirect GLX, and Mesa without its driver falls back to indirect.
TEST(Startup, ComesUpWithoutGl)
{
	const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
	        {{"-extension", "GLX"}, {}},
	        {{}, {"LIBGL_ALWAYS_INDIRECT=1"}},
	        {{}, {"LIBGL_DRIVERS_PATH=/nonexistent"}}};
	for (const auto &[server_options, env] : cases) {
		SCOPED_TRACE(env.empty() ? "no GLX" : env[0]);
		VirtualDisplay display(server_options);
		ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
		TempDir dir;
		lay_out_game_dir(dir.path());
		fs::create_directories(dir / "profils/anna");
		ProcessOptions options = {dir.path(), env, false};
		options.env.push_back("DISPLAY=" + display.name());
		Process p({GTKTROVIK_BIN}, options);
		ProcessResult shown = run_process(
		        {"xdotool", "search", "--sync", "--onlyvisible", "--name", "^Trovik$"},
		        std::chrono::seconds(15), options);
		EXPECT_EQ(shown.status, 0) << "no window";
		EXPECT_FALSE(p.wait(std::chrono::milliseconds(2000)))
		        << "launcher ended: " << p.output();
		EXPECT_EQ(p.output(), "");
	}
}

class InterfaceFile : public GuiTest {
protected:
	static std::string message_text(GtkWidget *dialog)
	{
		gchar *raw = nullptr;
		g_object_get(dialog, "text", &raw, nullptr);
		GCharPtr text(raw);
		return text ? text.get() : "";
	}

	// What the dialog over `window` says.
	std::string said(GtkWidget *window)
	{
		for (GtkWidget *dialog : toplevels(GTK_TYPE_MESSAGE_DIALOG))
			if (gtk_window_get_transient_for(GTK_WINDOW(dialog)) == GTK_WINDOW(window))
				return message_text(dialog);
		return "<no dialog>";
	}
};

TEST_F(InterfaceFile, WithoutTheErrorLinesRefusalsAreSaidInDialogs)
{
	keep_only_required(dir.path());
	fs::create_directories(dir / "profils/anna/pack/record");
	add_player("zoe");
	start();
	EXPECT_EQ(label_text(ZelkWidget.nbretoiles), "1");

	click(main_widget("bouton_ajout"));
	gtk_entry_set_text(GTK_ENTRY(add_widget("entry1")), "a/b");
	click(add_widget("bouton_creer"));
	EXPECT_EQ(said(add_widget("ajout")), "Le nom ne peut pas contenir / ni \\.");
	click(add_widget("annuler_ajout"));

	click(main_widget("bouton_suppression"));
	fs::remove_all(dir / "profils/anna");
	click(delete_widget("bouton_supprimer_absent"));
	EXPECT_NE(said(delete_widget("suppression")), "<no dialog>");
}

TEST_F(InterfaceFile, HandlersBoundToSignalsTheyCauseDoNotRecurse)
{
	bind_to_player_changes(dir.path());
	add_player("anna");
	start();
	click(main_widget("bouton_ajout"));
	click(main_widget("bouton_ajout")); // as a second binding would
	EXPECT_EQ(toplevels(GTK_TYPE_WINDOW).size(), 2u) << "a second add window";
	gtk_entry_set_text(GTK_ENTRY(add_widget("entry1")), "bea");
	click(add_widget("bouton_creer"));
	EXPECT_EQ(active_player(), "bea");
	GtkTreeModel *rows = gtk_combo_box_get_model(combo("joueur"));
	// The disk watch's rebuild is a change of the selector too, which
	// would delete the player if the delete window were open.
	pump_until([&] { return gtk_combo_box_get_model(combo("joueur")) != rows; });
	click(main_widget("bouton_suppression"));
	click(delete_widget("bouton_supprimer"));
	EXPECT_FALSE(fs::exists(dir / "profils/bea"));
	EXPECT_EQ(active_player(), "anna");
}

// A picture of `width` x `height` as a PNG file's bytes.
static std::string png_of(int width, int height)
{
	GObjectPtr<GdkPixbuf> picture(gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height));
	gdk_pixbuf_fill(picture.get(), 0x336699ff);
	gchar *raw = nullptr;
	gsize size = 0;
	EXPECT_TRUE(gdk_pixbuf_save_to_buffer(picture.get(), &raw, &size, "png", nullptr, nullptr));
	GCharPtr bytes(raw);
	return std::string(bytes.get(), size);
}

// The windows' icon is the game directory's picture; a FIFO in its place,
// or a picture of a size no icon has, is gone without, at once.
TEST_F(InterfaceFile, WindowIconIsReadOnlyFromAPictureOfAnIconsSize)
{
	const fs::path icon = dir / "gtktrovik.png";
	const struct {
		const char *what;
		std::function<void()> make;
		bool used;
	} cases[] = {
	        {"the installed picture", [] {}, true},
	        {"a FIFO", [&] { mkfifo(icon.c_str(), 0600); }, false},
	        {"a link to a FIFO",
	         [&] {
		         mkfifo((dir / "fifo").c_str(), 0600);
		         fs::create_symlink("fifo", icon);
	         },
	         false},
	        {"2000 pixels wide", [&] { write_file(icon, png_of(2000, 1)); }, false},
	        {"2000 pixels high", [&] { write_file(icon, png_of(1, 2000)); }, false},
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(c.what);
		TearDown();
		if (c.used)
			lay_out_game_dir(dir.path());
		else
			fs::remove(icon), fs::remove(dir / "fifo");
		c.make();
		gtk_window_set_default_icon_list(nullptr);
		start();
		GList *icons = gtk_window_get_default_icon_list();
		EXPECT_EQ(icons != nullptr, c.used);
		g_list_free(icons);
		EXPECT_TRUE(gtk_widget_get_visible(ZelkWidget.main));
	}
}
