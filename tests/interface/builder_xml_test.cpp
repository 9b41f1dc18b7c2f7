// libglade windows converted for GtkBuilder: the result, byte for byte,
// for whole files; the rules, one window a row; and GTK 3 building them
// without a complaint.
#include "interface_test.h"

#include "interface/builder_xml.h"
#include "interface/gtk3_catalog.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <fstream>
#include <set>

namespace {

// GTK 3, less the classes named: what a toolkit without them answers.
class Hiding : public ClassCatalog {
	using S = const std::string &;
	using P = std::optional<PropertyInfo>;

public:
	Hiding(const ClassCatalog &real, std::set<std::string> hidden)
	    : real_(real), hidden_(std::move(hidden))
	{
	}
	bool has_class(S n) const override { return !hidden_.count(n) && real_.has_class(n); }
	bool is_a(S n, S a) const override
	{
		return !hidden_.count(n) && !hidden_.count(a) && real_.is_a(n, a);
	}
	P property(S c, S n) const override { return real_.property(c, n); }
	P child_property(S c, S n) const override { return real_.child_property(c, n); }
	bool has_signal(S c, S n) const override { return real_.has_signal(c, n); }
	bool is_accelerator_signal(S c, S n) const override
	{
		return real_.is_accelerator_signal(c, n);
	}
	std::vector<NamedValue> named_values(S t) const override { return real_.named_values(t); }
	bool is_key_name(S n) const override { return real_.is_key_name(n); }

private:
	const ClassCatalog &real_;
	std::set<std::string> hidden_;
};

} // namespace

static const ClassCatalog &gtk3()
{
	static std::unique_ptr<ClassCatalog> catalog = gtk3_catalog();
	return *catalog;
}

static std::optional<std::string> converted(const std::string &glade, const std::string &root,
                                            const ClassCatalog &catalog = gtk3())
{
	std::optional<GladeFile> file = parse_glade(glade);
	return file ? builder_xml(*file, root, catalog) : std::nullopt;
}

// The warnings and criticals GTK 3 gives while it builds `xml`, which it
// must build; a builder to look into.
static GtkBuilder *built(const std::string &xml, int &complaints)
{
	complaints = 0;
	g_log_set_default_handler(
	        [](const gchar *, GLogLevelFlags level, const gchar *message, gpointer data) {
		        if (level & (G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL)) {
			        ADD_FAILURE() << message;
			        ++*static_cast<int *>(data);
		        }
	        },
	        &complaints);
	GtkBuilder *builder = gtk_builder_new();
	GError *error = nullptr;
	EXPECT_TRUE(gtk_builder_add_from_string(builder, xml.c_str(), -1, &error))
	        << (error ? error->message : "") << "\n"
	        << xml;
	if (error)
		g_error_free(error);
	g_log_set_default_handler(g_log_default_handler, nullptr);
	return builder;
}

struct Golden {
	const char *file, *name;
	std::vector<const char *> windows;
};

static const Golden goldens[] = {
        {"data/gtktrovik.glade", "gtktrovik", {"main", "ajout", "suppression"}},
        {"tests/interface/data/glade2.glade", "glade2", {"fenetre", "options"}},
        {"tests/interface/data/glade3.glade", "glade3", {"principale", "confirmation"}},
};

// TROVIK_WRITE_GOLDEN=1 writes them anew, to be read before committing.
TEST(BuilderXml, WholeFilesGiveTheirGoldenXml)
{
	for (const Golden &golden : goldens)
		for (const char *window : golden.windows) {
			std::string path = std::string("tests/interface/golden/") + golden.name +
			                   "-" + window + ".ui";
			std::optional<std::string> xml =
			        converted(source_file(golden.file), window);
			ASSERT_TRUE(xml) << path;
			if (g_getenv("TROVIK_WRITE_GOLDEN"))
				std::ofstream(std::string(TROVIK_SOURCE_DIR) + "/" + path) << *xml;
			EXPECT_EQ(*xml, source_file(path)) << path;
		}
}

TEST(BuilderXml, WholeFilesBuildInGtk3AsTheirClasses)
{
	if (!have_display())
		GTEST_SKIP() << "no display";
	const std::map<std::string, const char *> classes = {
	        {"vbox1", "GtkBox"},
	        {"langue", "GtkComboBoxText"},
	        {"boutons_ajout", "GtkButtonBox"},
	        {"separateur", "GtkSeparator"},
	        {"vitesse", "GtkScale"},
	        {"theme", "GtkComboBoxText"},
	        {"image1", "GtkImage"},
	        {"dialog-action_area1", "GtkButtonBox"},
	        {"fichier1_menu", "GtkMenu"},
	        {"panneaux", "GtkPaned"},
	        {"label22", "GtkLabel"},
	        {"choix_mode", "GtkButtonBox"},
	};
	std::set<std::string> seen;
	for (const Golden &golden : goldens)
		for (const char *window : golden.windows) {
			int complaints;
			GtkBuilder *builder =
			        built(*converted(source_file(golden.file), window), complaints);
			EXPECT_TRUE(GTK_IS_WINDOW(gtk_builder_get_object(builder, window)));
			for (const auto &[id, kind] : classes)
				if (GObject *object = gtk_builder_get_object(builder, id.c_str())) {
					seen.insert(id);
					EXPECT_STREQ(G_OBJECT_TYPE_NAME(object), kind) << id;
					EXPECT_STREQ(gtk_widget_get_name(GTK_WIDGET(object)),
					             id.c_str());
				}
			g_object_unref(builder);
		}
	EXPECT_EQ(seen.size(), classes.size());
}

struct Rule {
	const char *what;
	const char *glade; // a window "w"
	std::vector<const char *> has, lacks;
};

static const Rule rules[] = {
        {"a message dialog keeps its box and action area, with the responses",
         "<widget class='GtkMessageDialog' id='w'><child internal-child='vbox'>"
         "<widget class='GtkVBox' id='v'><child internal-child='action_area'>"
         "<widget class='GtkHButtonBox' id='a'><child><widget class='GtkButton' id='b'>"
         "<property name='response_id'>-5</property></widget></child></widget></child>"
         "</widget></child></widget>",
         {"<child internal-child=\"action_area\">", "<action-widget response=\"-5\">b<"},
         {"response-id"}},
        {"a tab before any page, an unknown internal child, a second child of a bin",
         "<widget class='GtkWindow' id='w'><child><widget class='GtkNotebook' id='n'><child>"
         "<widget class='GtkLabel' id='t'/><packing><property name='type'>tab</property>"
         "</packing></child></widget></child><child><widget class='GtkLabel' id='l2'/></child>"
         "<child internal-child='vbox'><widget class='GtkLabel' id='l3'/></child></widget>",
         {"id=\"n\""},
         {"id=\"t\"", "id=\"l2\"", "id=\"l3\""}},
        {"classes GTK 3 lacks: a box keeps what it held, alone an empty label",
         "<widget class='GtkWindow' id='w'><child><widget class='GnomeCanvasFoo' id='f'><child>"
         "<widget class='NoSuchLabel' id='l'><property name='label'>x</property></widget>"
         "</child></widget></child></widget>",
         {"<object class=\"GtkBox\" id=\"f\">", "<object class=\"GtkLabel\" id=\"l\">",
          "name=\"label\">x<"},
         {}},
        {"ids made unique, text escaped, names kept",
         "<widget class='GtkWindow' id='w'><child><widget class='GtkHBox' id='x\"&amp;'><child>"
         "<widget class='GtkLabel' id='x'><property name='label'>&lt;b&gt;\"</property></widget>"
         "</child><child><widget class='GtkLabel' id='x'/></child></widget></child></widget>",
         {"id=\"x&quot;&amp;\"", "id=\"x\"", "id=\"x-2\"", ">&lt;b&gt;&quot;<", "name=\"name\">x<"},
         {}},
        {"values GTK 3 cannot take, and references to what is not there",
         "<widget class='GtkWindow' id='w'><property name='has_separator'>True</property>"
         "<property name='default_width'>-7</property>"
         "<property name='icon'>/dev/zero</property><property name='border_width'>99999"
         "</property><child><widget class='GtkVBox' id='v'>"
         "<child><widget class='GtkHButtonBox' id='b'><property name='layout_style'>"
         "GTK_BUTTONBOX_DEFAULT_STYLE</property></widget></child><child><widget "
         "class='GtkLabel' id='l'><property name='mnemonic_widget'>other</property></widget>"
         "</child><child><widget class='GtkWindow' id='inner'/></child><child>"
         "<widget class='GtkMenu' id='m'/></child><child><widget class='GtkLabel' id='k'>"
         "<child><widget class='GtkLabel' id='kk'/></child></widget></child></widget></child>"
         "</widget>",
         {"id=\"l\"", "id=\"k\""},
         {"has-separator", "default-width", "icon", "border-width", "layout-style", "mnemonic",
          "id=\"inner\"", "id=\"m\"", "id=\"kk\""}},
        {"values as libglade reads them",
         "<widget class='GtkWindow' id='w'><property name='modal'>yes</property>"
         "<property name='resizable'>0</property><property name='window_position'>1"
         "</property><child><widget class='GtkTable' id='t'><child><widget class='GtkEntry' "
         "id='e'><property name='invisible_char'>●</property><property name='tooltip' "
         "translatable='yes' context='yes'>Menu|Ouvrir</property></widget><packing>"
         "<property name='x_options'>GTK_EXPAND | shrink</property></packing></child>"
         "</widget></child></widget>",
         {"name=\"modal\">True<", "name=\"resizable\">False<", "window-position\">center<",
          "invisible-char\">9679<", "x-options\">expand|shrink<", "y-options\">expand|fill<",
          "name=\"tooltip-text\" translatable=\"yes\" context=\"Menu\">Ouvrir<"},
         {}},
        {"what libglade does beyond properties",
         "<widget class='GtkWindow' id='w'><child><widget class='GtkVBox' id='v'><child>"
         "<widget class='GtkComboBoxEntry' id='c'><property name='items'>a\n\nb\n</property>"
         "</widget></child><child><widget class='GtkTextView' id='t'><property name='text'>"
         "x</property></widget></child><child><widget class='GtkSpinButton' id='s'><property "
         "name='adjustment'>5 0</property></widget></child><child><widget class='GtkButton' "
         "id='b'><signal name='clicked' handler='h' object='elsewhere'/><accelerator "
         "key='NoSuchKey' modifiers='0' signal='clicked'/><accelerator key='a' modifiers='' "
         "signal='enter'/></widget></child></widget></child></widget>",
         {"<object class=\"GtkComboBoxText\" id=\"c\">", "has-entry\">True<", "<item>a</item>\n",
          "<item></item>\n", "<item>b</item>\n", "name=\"buffer\">t-buffer<",
          "<object class=\"GtkTextBuffer\" id=\"t-buffer\">", "name=\"value\">5<",
          "name=\"adjustment\">s-adjustment<", "handler=\"h\" swapped=\"yes\"/>",
          "name=\"expand\">True<"},
         {"accelerator", "object=\""}},
};

TEST(BuilderXml, ConvertsAsLibgladeBuilds)
{
	for (const Rule &rule : rules) {
		std::string glade =
		        std::string("<glade-interface>") + rule.glade + "</glade-interface>";
		std::optional<std::string> xml = converted(glade, "w");
		ASSERT_TRUE(xml) << rule.what;
		for (const char *text : rule.has)
			EXPECT_NE(xml->find(text), std::string::npos)
			        << rule.what << ": " << text << "\n"
			        << *xml;
		for (const char *text : rule.lacks)
			EXPECT_EQ(xml->find(text), std::string::npos)
			        << rule.what << ": " << text << "\n"
			        << *xml;
		int complaints;
		if (have_display())
			g_object_unref(built(*xml, complaints));
	}
}

TEST(BuilderXml, ClassesTheToolkitLacksAreStoodInFor)
{
	std::string project = source_file("data/gtktrovik.glade");
	Hiding no_table(gtk3(), {"GtkTable"});
	std::optional<std::string> xml = converted(project, "main", no_table);
	ASSERT_TRUE(xml);
	EXPECT_NE(xml->find("<object class=\"GtkBox\" id=\"table_choix\">"), std::string::npos);
	EXPECT_NE(xml->find("id=\"langue\""), std::string::npos);
	EXPECT_FALSE(
	        converted(project, "main", Hiding(gtk3(), {"GtkWindow", "GtkBox", "GtkLabel"})));
	EXPECT_FALSE(converted(project, "nothing_of_that_name"));
	EXPECT_TRUE(converted(project, "vbox_ajout"));
}
