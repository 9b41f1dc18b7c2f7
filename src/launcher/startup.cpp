#include "launcher/startup.h"

#include "banner/banner.h"
#include "interface/interface_file.h"
#include "interface/main_window.h"
#include "launcher/resolution_view.h"
#include "launcher/window_icon.h"
#include "profiles/add_window.h"
#include "profiles/delete_window.h"
#include "profiles/finish_cut_deletes.h"
#include "profiles/selector.h"
#include "profiles/selector_tuning.h"

// The banner has nothing to read or press: a screen reader announces it
// as the moving picture it is, rather than as an unnamed drawing area.
static void describe_banner(GtkWidget *area)
{
	AtkObject *accessible = gtk_widget_get_accessible(area);
	atk_object_set_name(accessible, "Bannière animée de Trovik");
	atk_object_set_role(accessible, ATK_ROLE_ANIMATION);
}

void zelk_gui_load()
{
	set_window_icon();
	list_players_in_a_list();
	check_interface(zelk_interface_read(),
	                {&main_window_widgets, &add_window_widgets, &delete_window_widgets});
	main_window_load();
	tune_selector_before_rows();
	keep_hint_room();
	creer_combobox_joueurs();
	count_first_player_ahead();
	measure_one_player_row();
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.langue), 0);
	show_mode_when_closed(ZelkWidget.resolution);
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.resolution), 1);
	// The banner's GL set-up is the longest step: the count runs beside it.
	main_window_set_banner(banner::add_to_top(ZelkWidget.vbox1));
	describe_banner(ZelkWidget.gl_area);
	gtk_combo_box_set_active(GTK_COMBO_BOX(ZelkWidget.joueur), 0);
	watch_profiles();
	finish_cut_deletes();
	// Shown complete, the window appears once at its final size, and the
	// banner's first frame is drawn at its own.
	gtk_widget_show(ZelkWidget.main);
}
