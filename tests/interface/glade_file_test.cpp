// The interface file read as libglade reads it, and refused where libglade
// would not read it, without a toolkit.
#include "interface_test.h"

#include "interface/glade_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

std::string source_file(const std::string &path)
{
	std::ifstream in(std::string(TROVIK_SOURCE_DIR) + "/" + path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

static std::string in_file(const std::string &widgets)
{
	return "<glade-interface>" + widgets + "</glade-interface>";
}

// A window holding `levels` boxes, each inside the one before.
static std::string nested(int levels)
{
	std::string inside;
	for (int i = 0; i < levels; i++)
		inside = "<child><widget class='GtkVBox' id='b'>" + inside + "</widget></child>";
	return in_file("<widget class='GtkWindow' id='w'>" + inside + "</widget>");
}

TEST(GladeFile, RefusesWhatIsNoLibglade2File)
{
	std::string project = source_file("data/gtktrovik.glade");
	std::string attributes;
	for (int i = 0; i < 17; i++)
		attributes += " a" + std::to_string(i) + "='x'";
	const std::string cases[] = {
	        "",
	        "just text",
	        project.substr(0, project.size() / 2),
	        in_file("<widget class='GtkWindow' id='w'>"),
	        "<interface><object class='GtkWindow' id='w'/></interface>",
	        "<glade-interface/><glade-interface/>",
	        in_file("<widget class='GtkLabel' id='\xe9t\xe9'/>"),
	        in_file("<widget class='GtkLabel' id='a\x01'/>"),
	        in_file(std::string("<widget class='GtkLabel' id='a\0'/>", 34)),
	        in_file("<widget class='GtkLabel'/>"),
	        in_file("<widget id='w'/>"),
	        in_file("<widget class='GtkLabel' id='w'><property>x</property></widget>"),
	        in_file("<widget class='GtkButton' id='w'><signal name='clicked'/></widget>"),
	        in_file("<widget class='GtkLabel' id='w' class='GtkLabel'/>"),
	        in_file("<widget class='GtkLabel' id='w'" + attributes + "/>"),
	        in_file("<widget class='GtkLabel' id='w'>&bogus;</widget>"),
	        nested(int(glade_depth_limit)),
	};
	for (const std::string &text : cases)
		EXPECT_FALSE(parse_glade(text)) << text.substr(0, 120);
	EXPECT_TRUE(parse_glade(nested(int(glade_depth_limit) / 2 - 2)));
}

TEST(GladeFile, ReadsWhatLibgladeReads)
{
	std::optional<GladeFile> file = parse_glade(R"(<?xml version="1.0"?>
<!DOCTYPE glade-interface SYSTEM "http://glade.gnome.org/glade-2.0.dtd">
<glade-interface>
  <requires lib="gnome"/>
  <unknown><widget class="GtkLabel" id="skipped"/></unknown>
  <widget class="GtkDialog" id="d">
    <property name="title" translatable="yes" context="yes" comments="c">Menu|Ti&amp;tle</property>
    <property name="skipped" agent="glademm">1</property>
    <property name="items">a)"
	                                            "\r\nb\rc"
	                                            R"(&#13;</property>
    <accessibility>
      <atkproperty name="AtkObject::accessible_name">n</atkproperty>
      <atkrelation target="x" type="labelled-by"/>
      <atkaction action_name="click" description="d"/>
    </accessibility>
    <signal name="response" handler="h" object="x" after="yes"><property name="p">v</property></signal>
    <accelerator key="Escape" modifiers="0" signal="close"/>
    <child internal-child="vbox">
      <widget class="GtkVBox" id="x"><child><placeholder/></child></widget>
      <packing><property name="expand">False</property></packing>
    </child>
  </widget>
</glade-interface>)");
	ASSERT_TRUE(file);
	EXPECT_EQ(file->required_libraries, std::vector<std::string>{"gnome"});
	ASSERT_EQ(file->toplevels.size(), 1u);
	const GladeWidget &d = *file->toplevels[0];
	ASSERT_EQ(d.properties.size(), 2u);
	const GladeProperty &title = d.properties[0];
	EXPECT_EQ(title.value, "Menu|Ti&tle");
	EXPECT_TRUE(title.translatable && title.has_context);
	EXPECT_EQ(title.comments, "c");
	EXPECT_EQ(find_property(d.properties, "items")->value, "a\nb\nc\r");
	EXPECT_EQ(d.accessibility.properties.at(0).value, "n");
	EXPECT_EQ(d.accessibility.relations.at(0).target, "x");
	EXPECT_EQ(d.accessibility.actions.at(0).description, "d");
	ASSERT_EQ(d.signals.size(), 1u);
	EXPECT_TRUE(d.signals[0].object == "x" && d.signals[0].after);
	EXPECT_EQ(d.accelerators.at(0).signal, "close");
	const GladeChild &vbox = d.children.at(0);
	EXPECT_EQ(vbox.internal_child, "vbox");
	EXPECT_EQ(vbox.packing.at(0).value, "False");
	EXPECT_EQ(vbox.widget->children.at(0).widget, nullptr);
	EXPECT_EQ(find_widget(d, "x"), vbox.widget.get());
	EXPECT_EQ(find_widget(d, "skipped"), nullptr);
}

TEST(GladeFile, FindsWidgetsDepthFirst)
{
	std::optional<GladeFile> file = parse_glade(source_file("data/gtktrovik.glade"));
	ASSERT_TRUE(file);
	const GladeWidget *main = find_toplevel(*file, "main");
	ASSERT_TRUE(main);
	EXPECT_EQ(find_toplevel(*file, "vbox1"), nullptr);
	for (const char *id : {"langue", "joueur", "bouton_jouer", "checkbutton4"})
		EXPECT_EQ(find_widget(*main, id)->id, id);
	EXPECT_EQ(find_widget(*main, "entry1"), nullptr);
	EXPECT_EQ(find_widget(*find_toplevel(*file, "ajout"), "entry1")->class_name, "GtkEntry");
}
