// X errors caused by other clients' windows going at any moment, caught for
// as long as the trap lives instead of ending the process.
#pragma once

#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

class XErrorTrap {
public:
	XErrorTrap()
	{
#if GTK_CHECK_VERSION(3, 0, 0)
		gdk_x11_display_error_trap_push(gdk_display_get_default());
#else
		gdk_error_trap_push();
#endif
	}
	~XErrorTrap()
	{
		if (!popped_)
			caught();
	}
	XErrorTrap(const XErrorTrap &) = delete;
	XErrorTrap &operator=(const XErrorTrap &) = delete;

	// Whether an error came since the trap was set; ends the trap.
	bool caught()
	{
		popped_ = true;
		gdk_display_flush(gdk_display_get_default());
#if GTK_CHECK_VERSION(3, 0, 0)
		return gdk_x11_display_error_trap_pop(gdk_display_get_default()) != 0;
#else
		return gdk_error_trap_pop() != 0;
#endif
	}

private:
	bool popped_ = false;
};
