// The real gtktrovik, started in a scratch working directory.
#include "process.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

// The interface file with the widget `id` renamed, so that it cannot be found.
static void hide_widget(const fs::path &dir, const std::string &id)
{
	std::string glade = read_file(dir / "gtktrovik.glade");
	std::string from = "id=\"" + id + "\"";
	auto at = glade.find(from);
	ASSERT_NE(at, std::string::npos) << id;
	glade.replace(at, from.size(), "id=\"" + id + "_absent\"");
	write_file(dir / "gtktrovik.glade", glade);
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

TEST(Startup, MissingWidgetIsNamedInLookupOrder)
{
	// Each id in turn, with every id after it missing too: the first
	// missing one in lookup order is the one reported.
	// The sub-windows' ids are checked at start-up too, not when the user
	// first opens one.
	const char *order[] = {"main",
	                       "langue",
	                       "resolution",
	                       "joueur",
	                       "nbretoiles",
	                       "checkbutton4",
	                       "checkbutton3",
	                       "vbox1",
	                       "bouton_jouer",
	                       "aide_joueur",
	                       "ajout",
	                       "entry1",
	                       "erreur_ajout",
	                       "suppression",
	                       "label22",
	                       "erreur_suppression",
	                       "bouton_supprimer",
	                       "annuler_suppression"};
	for (std::size_t first = 0; first < std::size(order); first++) {
		TempDir dir;
		lay_out_game_dir(dir.path());
		for (std::size_t i = std::size(order); i-- > first;)
			hide_widget(dir.path(), order[i]);
		ProcessResult r = run_launcher(dir.path());
		EXPECT_EQ(r.status, 1) << order[first];
		EXPECT_EQ(r.output, std::string("libglade error : can't get *") + order[first] +
		                            "* widget\n");
	}
}

TEST(Startup, OnlyVbox1MissingIsReportedAfterTheSevenOthers)
{
	TempDir dir;
	lay_out_game_dir(dir.path());
	hide_widget(dir.path(), "vbox1");
	ProcessResult r = run_launcher(dir.path());
	EXPECT_EQ(r.status, 1);
	EXPECT_EQ(r.output, "libglade error : can't get *vbox1* widget\n");
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
		        std::chrono::seconds(5), options);
		EXPECT_EQ(shown.status, 0) << "no window";
		EXPECT_FALSE(p.wait(std::chrono::milliseconds(2000)))
		        << "launcher ended: " << p.output();
		EXPECT_EQ(p.output(), "");
	}
}
