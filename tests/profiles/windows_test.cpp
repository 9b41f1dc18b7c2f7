// The player selector and the add and delete windows, driven through the
// real interface file: buttons clicked, the entry activated as by Enter,
// windows closed from their title bar.
#include "gui.h"
#include "hostile_names.h"

#include "launcher/startup.h"
#include "base/glib_ptr.h"
#include "base/toolkit_compat.h"
#include "interface/main_window.h"

#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class Profiles : public GuiTest {
protected:
	std::string count_shown() { return label_text(ZelkWidget.nbretoiles); }
	bool main_sensitive() { return gtk_widget_get_sensitive(ZelkWidget.main); }

	void open_add_window()
	{
		click(main_widget("bouton_ajout"));
		ASSERT_NE(open_window_widget("ajout", "ajout"), nullptr);
		ASSERT_NE(open_window_widget("ajout", "entry1"), nullptr);
		EXPECT_FALSE(main_sensitive());
	}

	// Types `name` and presses Enter in the entry. A button activated
	// from the keyboard shows itself pressed for a quarter of a second
	// before it reports the click.
	void type_and_enter(const std::string &name)
	{
		// Its click may close the window, and disconnect whatever listens
		// to the button itself.
		EmissionCount clicks(add_widget("bouton_creer"), "clicked");
		gtk_entry_set_text(GTK_ENTRY(add_widget("entry1")), name.c_str());
		gtk_widget_activate(add_widget("entry1"));
		EXPECT_TRUE(pump_until([&] { return clicks.count() > 0; }))
		        << "the button did not report its click";
		pump_events(20);
	}

	void open_delete_window()
	{
		click(main_widget("bouton_suppression"));
		ASSERT_NE(open_window_widget("suppression", "suppression"), nullptr);
		EXPECT_FALSE(main_sensitive());
	}

	void close_from_title_bar(GtkWidget *window)
	{
		GdkEvent *event = gdk_event_new(GDK_DELETE);
		event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
		event->any.send_event = TRUE;
		gtk_main_do_event(event);
		gdk_event_free(event);
		pump_events();
	}

	// Players made after whatever befell profils show up in the selector.
	void expect_followed(std::chrono::milliseconds wait)
	{
		add_player("carl");
		EXPECT_TRUE(pump_until([&] { return active_player() == "carl"; }, wait));
		add_player("dora");
		EXPECT_TRUE(pump_until([&] { return player_count() == 2; }, wait));
	}

	void expect_no_sub_window()
	{
		EXPECT_TRUE(main_sensitive());
		EXPECT_EQ(open_window_widget("ajout", "ajout"), nullptr);
		EXPECT_EQ(open_window_widget("ajout", "entry1"), nullptr);
		EXPECT_EQ(open_window_widget("suppression", "suppression"), nullptr);
		EXPECT_EQ(open_window_widget("suppression", "label22"), nullptr);
		for (GtkWidget *w : toplevels(GTK_TYPE_WINDOW))
			EXPECT_EQ(w, ZelkWidget.main)
			        << "still shown: " << gtk_window_get_title(GTK_WINDOW(w));
	}
};

TEST_F(Profiles, SelectorListsPlayersSortedFirstActiveAndRecountsOnChange)
{
	make_records(dir / "profils/anna/pack1", 3);
	make_records(dir / "profils/anna/pack2", 1);
	write_file(dir / "profils/anna/notes.txt", "");
	make_records(dir / "profils/anna/.old", 1);
	make_records(dir / "profils/Bob/g", 2);
	add_player("beta");
	write_file(dir / "profils/.hidden", "");
	start();

	ASSERT_EQ(player_count(), 3);
	EXPECT_EQ(active_player(), "anna");
	EXPECT_EQ(count_shown(), "4");
	gtk_combo_box_set_active(combo("joueur"), 1);
	EXPECT_EQ(active_player(), "beta");
	EXPECT_EQ(count_shown(), "0");
	gtk_combo_box_set_active(combo("joueur"), 2);
	EXPECT_EQ(active_player(), "Bob");
	EXPECT_EQ(count_shown(), "2");

	fs::remove_all(dir / "profils/Bob");
	g_signal_emit_by_name(ZelkWidget.joueur, "changed");
	EXPECT_EQ(count_shown(), "0") << "a vanished player counts nothing";
}

// Enter makes the typed name the active player: a new one is made, shell
// syntax and all, as exactly one directory; an existing one is left as it is.
TEST_F(Profiles, AddWindowMakesTheTypedPlayerActiveCreatingOnlyItsDirectory)
{
	make_records(dir / "profils/bea/g", 2);
	start();
	auto typed_and_accepted = [](const HostileName &n) { return n.typeable() && n.accepted(); };
	std::vector<std::string> names = hostile_names_where(typed_and_accepted);
	names.insert(names.end(), {"Anna Lise", "bea"});
	for (const std::string &name : names) {
		const bool is_new = !fs::exists(dir / "profils" / name);
		const std::string before = snapshot_tree(dir.path());
		const int players = player_count();
		open_add_window();
		type_and_enter(name);
		std::string after = snapshot_tree(dir.path());
		if (is_new) {
			std::string created = "profils/" + name + ": dir\n";
			auto at = after.find(created);
			ASSERT_NE(at, std::string::npos) << name;
			after.erase(at, created.size());
		}
		EXPECT_EQ(after, before) << name;
		EXPECT_EQ(player_count(), players + is_new) << name;
		EXPECT_EQ(active_player(), name);
		EXPECT_EQ(count_shown(), is_new ? "0" : "2") << name;
		expect_no_sub_window();
	}
	EXPECT_FALSE(fs::exists(dir / "x"));
}

TEST_F(Profiles, AddWindowRefusesNamesThatCouldActElsewhereAndKeepsWindowOpen)
{
	add_player("caf\xc3\xa9");
	start();
	std::string before = snapshot_tree(dir.path());
	open_add_window();
	GtkWidget *error = add_widget("erreur_ajout");
	auto typed_and_refused = [](const HostileName &n) { return n.typeable() && n.refused(); };
	std::vector<std::string> names = hostile_names_where(typed_and_refused);
	names.push_back("cafe\u0301"); // the player there, decomposed
	for (const std::string &name : names) {
		type_and_enter(name);
		EXPECT_EQ(snapshot_tree(dir.path()), before) << name;
		ASSERT_NE(open_window_widget("ajout", "ajout"), nullptr) << name;
		EXPECT_NE(label_text(error), "") << name;
		EXPECT_FALSE(main_sensitive());
	}
	type_and_enter(std::string(49, 'n'));
	EXPECT_TRUE(fs::is_directory(dir / "profils" / std::string(49, 'n')));
	expect_no_sub_window();
}

// Cancelled or closed from the title bar, either window makes or removes
// nothing, and the main window is usable again.
TEST_F(Profiles, CancellingOrClosingEitherWindowChangesNothing)
{
	make_records(dir / "profils/anna/g", 1);
	start();
	std::string before = snapshot_tree(dir.path());
	const struct {
		const char *window, *cancel;
	} windows[] = {{"ajout", "annuler_ajout"}, {"suppression", "annuler_suppression"}};
	for (const auto &w : windows)
		for (bool title_bar : {false, true}) {
			SCOPED_TRACE(std::string(w.window) +
			             (title_bar ? " closed" : " cancelled"));
			if (w.window == std::string("ajout")) {
				open_add_window();
				gtk_entry_set_text(GTK_ENTRY(add_widget("entry1")), "ghost");
			} else {
				open_delete_window();
			}
			if (title_bar)
				close_from_title_bar(open_window_widget(w.window, w.window));
			else
				click(open_window_widget(w.window, w.cancel));
			expect_no_sub_window();
			EXPECT_EQ(snapshot_tree(dir.path()), before);
		}
	EXPECT_EQ(active_player(), "anna");
	open_add_window();
	type_and_enter("real");
	EXPECT_EQ(active_player(), "real");
}

// The first player left in sorted order follows the one deleted; the last
// leaves an empty selector.
TEST_F(Profiles, DeleteAsksForTheSelectedPlayerThenRemovesItUntilNoneIsLeft)
{
	make_records(dir / "profils/anna/pack1", 3);
	add_player("Bob");
	start();
	open_delete_window();
	EXPECT_EQ(label_text(delete_widget("label22")),
	          "Etes-vous sûr de\nvouloir définitivement\nsupprimer l'utilisateur suivant\n"
	          "et tous ses records ?\n\nanna");
	click(delete_widget("bouton_supprimer"));
	EXPECT_FALSE(fs::exists(dir / "profils/anna"));
	EXPECT_TRUE(fs::exists(dir / "profils/Bob"));
	EXPECT_EQ(active_player(), "Bob");
	EXPECT_EQ(player_count(), 1);
	expect_no_sub_window();

	open_delete_window();
	click(delete_widget("bouton_supprimer"));
	EXPECT_FALSE(fs::exists(dir / "profils/Bob"));
	EXPECT_TRUE(fs::is_directory(dir / "profils"));
	EXPECT_EQ(player_count(), 0);
	EXPECT_EQ(active_player(), "<none>");
	expect_no_sub_window();
}

TEST_F(Profiles, WithoutActivePlayerDeleteOffersNothingAndTouchesNothing)
{
	write_file(dir / "outside", "keep");
	start();
	std::string before = snapshot_tree(dir.path());
	open_delete_window();
	GtkWidget *confirm = delete_widget("bouton_supprimer");
	EXPECT_FALSE(gtk_widget_get_sensitive(confirm));
	EXPECT_EQ(label_text(delete_widget("label22")).find("Etes-vous"), std::string::npos);
	click(confirm); // emitted anyway, as a stale binding would
	EXPECT_EQ(snapshot_tree(dir.path()), before);
	expect_no_sub_window();
}

// Names that are not UTF-8 are shown legibly, and deleted byte for byte.
TEST_F(Profiles, NonUtf8NameIsShownSafelyAndDeletedExactly)
{
	const std::string odd = "caf\xe9";
	add_player(odd);
	add_player("caf\xc3\xa9");
	start();
	ASSERT_EQ(player_count(), 2);
	gtk_combo_box_set_active(combo("joueur"), 1); // 0xE9 sorts after 0xC3
	EXPECT_EQ(active_player(), odd);
	open_delete_window();
	std::string shown = label_text(delete_widget("label22"));
	EXPECT_TRUE(g_utf8_validate(shown.c_str(), -1, nullptr)) << shown;
	EXPECT_NE(shown.find("caf"), std::string::npos);
	click(delete_widget("bouton_supprimer"));
	EXPECT_FALSE(fs::exists(dir / "profils" / odd));
	EXPECT_TRUE(fs::exists(dir / "profils/caf\xc3\xa9"));
	EXPECT_EQ(active_player(), "caf\xc3\xa9");
}

// An upgrade may remove or replace the interface file under a running
// launcher: the windows come from what was read at start-up.
TEST_F(Profiles, SubWindowsOpenAfterTheInterfaceFileIsGone)
{
	add_player("anna");
	start();
	fs::remove(dir / "gtktrovik.glade");
	open_add_window();
	type_and_enter("Bob");
	EXPECT_EQ(active_player(), "Bob");
	open_delete_window();
	EXPECT_NE(label_text(delete_widget("label22")).find("Bob"), std::string::npos);
	click(delete_widget("annuler_suppression"));
	expect_no_sub_window();
}

// A name as long as the disk allows widens neither the main window nor the
// confirmation; the selector still holds it whole, and shows it on hover.
TEST_F(Profiles, LongNamesDoNotWidenTheWindows)
{
	const std::string long_name(255, 'W');
	auto widths = [&](const std::string &player) {
		fs::remove_all(dir / "profils");
		add_player(player);
		start();
		GtkRequisition main_size = wanted_size(ZelkWidget.main);
		open_delete_window();
		GtkRequisition delete_size = wanted_size(delete_widget("suppression"));
		GCharPtr tooltip(gtk_widget_get_tooltip_text(ZelkWidget.joueur));
		EXPECT_STREQ(tooltip.get(), player.c_str());
		EXPECT_EQ(active_player(), player);
		TearDown();
		return std::pair(main_size.width, delete_size.width);
	};
	EXPECT_EQ(widths(long_name), widths("anna"));
}

static void note_text(GObject *cell, GParamSpec *, gpointer texts)
{
	gchar *raw = nullptr;
	g_object_get(cell, "text", &raw, nullptr);
	GCharPtr text(raw);
	static_cast<std::vector<std::string> *>(texts)->push_back(text ? text.get() : "");
}

// What the closed selector does at a change of size: it measures the rows
// of its model, every one, for the widest.
static void measure_every_row(GtkCellView *closed)
{
#if GTK_CHECK_VERSION(3, 0, 0)
	gtk_widget_queue_resize(GTK_WIDGET(closed));
	wanted_size(GTK_WIDGET(closed));
#else
	GtkTreeModel *model = gtk_cell_view_get_model(closed);
	for (int row = 0; row < gtk_tree_model_iter_n_children(model, nullptr); row++) {
		GtkTreePath *path = gtk_tree_path_new_from_indices(row, -1);
		GtkRequisition size;
		gtk_cell_view_get_size_of_row(closed, path, &size);
		gtk_tree_path_free(path);
	}
#endif
}

// The closed selector measures every player's row but shows the active
// one: its cell is given no other text, not even an empty one to lay out
// (the list that drops down shows the others: tests/e2e).
TEST_F(Profiles, ClosedSelectorGivesItsCellOnlyTheActiveName)
{
	for (const char *name : {"anna", "bob", "carl"})
		add_player(name);
	start();
	gtk_combo_box_set_active(combo("joueur"), 1);
	GList *cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(ZelkWidget.joueur));
	ASSERT_NE(cells, nullptr);
	std::vector<std::string> given;
	gulong noted = g_signal_connect(cells->data, "notify::text", G_CALLBACK(note_text), &given);
	GtkCellView *closed = GTK_CELL_VIEW(gtk_bin_get_child(GTK_BIN(ZelkWidget.joueur)));
	measure_every_row(closed);
	g_signal_handler_disconnect(cells->data, noted);
	g_list_free(cells);
	EXPECT_FALSE(given.empty());
	EXPECT_EQ(given, std::vector<std::string>(given.size(), "bob"));
}

static void collect_buttons_and_keys(GtkWidget *w, gpointer data)
{
	auto *keys = static_cast<std::vector<guint> *>(data);
	if (GTK_IS_BUTTON(w)) {
		gboolean stock = FALSE;
		g_object_get(w, "use-stock", &stock, nullptr);
		EXPECT_FALSE(stock) << gtk_widget_get_name(w);
	}
	if (GTK_IS_LABEL(w) && gtk_label_get_mnemonic_keyval(GTK_LABEL(w)) != GDK_KEY_VoidSymbol)
		keys->push_back(gdk_keyval_to_lower(gtk_label_get_mnemonic_keyval(GTK_LABEL(w))));
	if (GTK_IS_CONTAINER(w))
		gtk_container_foreach(GTK_CONTAINER(w), collect_buttons_and_keys, data);
}

// Stock buttons follow the locale, not the window's language; and within a
// window, each access key leads to one thing only.
TEST_F(Profiles, EveryButtonSpeaksFrenchWithItsOwnAccessKey)
{
	add_player("anna");
	start();
	auto check = [](GtkWidget *window) {
		std::vector<guint> keys;
		collect_buttons_and_keys(window, &keys);
		std::sort(keys.begin(), keys.end());
		EXPECT_GE(keys.size(), 2u);
		EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end())
		        << "two access keys alike in " << gtk_window_get_title(GTK_WINDOW(window));
	};
	check(ZelkWidget.main);
	open_add_window();
	check(add_widget("ajout"));
	gtk_widget_destroy(add_widget("ajout"));
	pump_events();
	open_delete_window();
	check(delete_widget("suppression"));
}

// A delete that cannot happen as asked says why in its window, which stays
// open; what is still listed is what is still on disk.
TEST_F(Profiles, DeleteThatCannotHappenSaysWhyInItsWindow)
{
	struct Case {
		const char *what;
		std::function<void()> spoil;
		bool anna_listed; // afterwards
		bool may_retry;   // the delete button still offered
	};
	const fs::perms open_dir = fs::perms(0755);
	const Case cases[] = {
	        {"profils not writable",
	         [&] { fs::permissions(dir / "profils", open_dir & ~fs::perms::owner_write); },
	         true, true},
	        {"a group not readable",
	         [&] { fs::permissions(dir / "profils/anna/pack1", fs::perms::none); }, false,
	         false},
	        {"a plain file",
	         [&] {
		         fs::remove_all(dir / "profils/anna");
		         write_file(dir / "profils/anna", "x");
	         },
	         true, false},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.what);
		fs::permissions(dir.path(), open_dir);
		make_records(dir / "profils/anna/pack1", 2);
		make_records(dir / "profils/Bob/pack1", 1);
		give_to_file_user(dir / "profils");
		c.spoil();
		start();
		std::string count = count_shown();
		open_delete_window();
		{
			AsFileUser user;
			click(delete_widget("bouton_supprimer"));
		}
		ASSERT_NE(open_window_widget("suppression", "suppression"), nullptr)
		        << "the window closed without a word";
		EXPECT_NE(label_text(delete_widget("erreur_suppression")), "");
		EXPECT_EQ(gtk_widget_get_sensitive(delete_widget("bouton_supprimer")), c.may_retry);
		EXPECT_EQ(active_player(), c.anna_listed ? "anna" : "Bob");
		EXPECT_EQ(player_count(), c.anna_listed ? 2 : 1);
		if (c.anna_listed) {
			EXPECT_EQ(count_shown(), count);
		}
		EXPECT_EQ(fs::exists(dir / "profils/anna"), c.anna_listed);
		click(delete_widget("annuler_suppression"));
		expect_no_sub_window();
		TearDown();
		fs::permissions(dir / "profils", open_dir);
		for (const auto &e : fs::recursive_directory_iterator(dir / "profils"))
			if (e.is_directory())
				fs::permissions(e.path(), open_dir);
		fs::remove_all(dir / "profils");
		fs::create_directory(dir / "profils");
	}
}

static std::pair<int, int> window_size()
{
	GtkRequisition size = wanted_size(ZelkWidget.main);
	return {size.width, size.height};
}

// Players made or removed by another program come and go in the selector;
// the start button and the line under the selector follow, and the window
// keeps its size.
TEST_F(Profiles, SelectorFollowsTheDisk)
{
	add_player("anna");
	add_player("Bob");
	start();
	GtkWidget *hint = main_widget("aide_joueur");
	EXPECT_TRUE(gtk_widget_get_sensitive(ZelkWidget.jouer));
	EXPECT_EQ(label_text(hint), "");
	std::pair<int, int> size = window_size();
	gtk_combo_box_set_active(combo("joueur"), 1);

	make_records(dir / "profils/carl/g", 2);
	EXPECT_TRUE(pump_until([&] { return player_count() == 3; }, 3s)) << "new player not shown";
	EXPECT_EQ(active_player(), "Bob");
	fs::remove_all(dir / "profils/Bob");
	EXPECT_TRUE(pump_until([&] { return player_count() == 2; }, 3s))
	        << "gone player still shown";
	EXPECT_EQ(active_player(), "anna");

	fs::remove_all(dir / "profils/anna");
	fs::remove_all(dir / "profils/carl");
	EXPECT_TRUE(pump_until([&] { return player_count() == 0; }, 3s));
	EXPECT_FALSE(gtk_widget_get_sensitive(ZelkWidget.jouer));
	EXPECT_TRUE(gtk_widget_get_visible(hint));
	EXPECT_NE(label_text(hint).find("Créez un joueur"), std::string::npos) << label_text(hint);
	EXPECT_EQ(window_size(), size);

	// A script making a thousand players costs a handful of rebuilds.
	int rebuilds = 0;
	g_signal_connect_swapped(ZelkWidget.joueur, "notify::model",
	                         G_CALLBACK(+[](int *n) { ++*n; }), &rebuilds);
	for (int i = 0; i < 1000; i++)
		add_player("p" + std::to_string(i));
	EXPECT_TRUE(pump_until([&] { return player_count() == 1000; }, 5s));
	pump_events(600);
	EXPECT_LE(rebuilds, 5);
	EXPECT_TRUE(gtk_widget_get_sensitive(ZelkWidget.jouer));
	EXPECT_EQ(label_text(hint), "");
	EXPECT_EQ(window_size(), size);
	EXPECT_EQ(active_player(), "p0");

	// A profils that can no longer be read is named, not shown empty.
	fs::permissions(dir / "profils", fs::perms::none);
	{
		AsFileUser user;
		EXPECT_TRUE(pump_until([&] { return player_count() == 0; }, 3s));
	}
	EXPECT_FALSE(gtk_widget_get_sensitive(ZelkWidget.jouer));
	EXPECT_NE(label_text(hint).find("profils"), std::string::npos) << label_text(hint);
	EXPECT_NE(label_text(hint).find("accès refusé"), std::string::npos) << label_text(hint);
	fs::permissions(dir / "profils", fs::perms::owner_all);
}

// The user's inotify instances used up, as a desktop session may have them.
// As root they are taken, and the window built, as nobody, so that root's
// other programs keep theirs.
struct MonitorsUsedUp {
	explicit MonitorsUsedUp(const fs::path &dir)
	{
		if (geteuid() == 0) {
			give_to_file_user(dir);
			EXPECT_TRUE(setegid(65534) == 0 && seteuid(65534) == 0);
		}
		for (int fd; (fd = inotify_init1(IN_CLOEXEC)) >= 0;)
			held.push_back(fd);
		error = errno;
	}
	~MonitorsUsedUp()
	{
		EXPECT_TRUE(seteuid(getuid()) == 0 && setegid(getgid()) == 0);
		for (int fd : held)
			close(fd);
	}
	std::vector<int> held;
	int error;
};

// profils itself may be swapped under the window, or no monitor be had to
// follow it: the list follows all the same, and goes on following.
TEST_F(Profiles, SelectorFollowsProfilsWhateverBecomesOfIt)
{
	struct Case {
		const char *what;
		const char *removed; // after start, if any
		bool linked;         // profils a link to a/, pointed to b/ after start
	};
	const Case cases[] = {
	        {"profils removed and made again", "profils", false},
	        {"a link to profils pointed elsewhere", nullptr, true},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.what);
		fs::create_directories(dir / "a/anna");
		fs::create_directories(dir / "b");
		fs::remove_all(dir / "profils");
		if (c.linked)
			fs::create_directory_symlink("a", dir / "profils");
		else
			add_player("anna");
		start();
		ASSERT_EQ(active_player(), "anna");
		if (c.removed)
			fs::remove_all(dir / c.removed);
		if (c.linked) {
			fs::create_directory_symlink("b", dir / "next");
			fs::rename(dir / "next", dir / "profils");
		}
		expect_followed(2s);
		TearDown();
	}
}

// GLib asks for inotify once a process, so this one goes alone.
TEST_F(Profiles, SelectorFollowsTheDiskWithoutAFileMonitor)
{
	add_player("anna");
	{
		MonitorsUsedUp used_up(dir.path());
		ASSERT_EQ(used_up.error, EMFILE);
		start();
	}
	fs::remove_all(dir / "profils/anna");
	expect_followed(3s);
}

// A delete cut short leaves its hidden copy: the next start finishes it
// behind the window, and leaves every other hidden entry as it is.
TEST_F(Profiles, StartFinishesDeletesCutShortAndNothingElse)
{
	for (const char *kept :
	     {".suppression-abc", ".suppression-abcdefg", ".suppression-ab_def", ".config"})
		make_records(dir / "profils" / kept / "g", 2);
	write_file(dir / "profils/.suppression-file00", "x");
	fs::create_directory_symlink(".config", dir / "profils/.suppression-link00");
	const std::string before = snapshot_tree(dir.path());
	const fs::path cut = dir / "profils/.suppression-Ab3xY9";
	for (const char *group : {"g", "deep/er/g"})
		make_records(dir / "profils/.suppression-Ab3xY9" / group, 500);
	zelk_gui_load();
	EXPECT_TRUE(fs::exists(cut)) << "the window waited for it";
	EXPECT_TRUE(pump_until([&] { return !fs::exists(cut); }));
	EXPECT_EQ(snapshot_tree(dir.path()), before);
}
