// How the list follows profils: a file monitor on the directory says when
// its entries change, and the list is rebuilt a quarter of a second later,
// once for a whole burst. The monitor sees only the directory it was set on,
// so profils is also looked at four times a second, one stat each time: a
// new device and inode (profils made again, or a link to it pointed
// elsewhere) gets a new monitor and a rebuild at once; a profils removed and
// made again on the same inode is caught by the old monitor's last word, the
// removal of its own directory. Looking costs less than a second monitor on
// the working directory, and works where no monitor can be had at all; then
// the listing itself is compared once a second as well.
#include "profiles/profiles_watch.h"

#include "base/glib_ptr.h"
#include "profiles/profile_tree.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <cerrno>
#include <functional>

// A burst of changes on disk (a script making a thousand players) is
// folded into one rebuild of the list per this many milliseconds.
static const guint refresh_delay_ms = 250;

// profils is looked at this often for being another directory than the
// one watched: removed and made again, or a link to it pointed elsewhere.
static const guint identity_check_ms = 250;
// Without a monitor its listing is compared once every this many looks.
static const int looks_per_listing = 4;

// What profils is: the directory's device and inode, or why there is none.
struct DirIdentity {
	int error; // -1 for a watch that no longer holds, whatever profils is
	dev_t dev;
	ino_t ino;

	bool operator==(const DirIdentity &o) const
	{
		return error == o.error && dev == o.dev && ino == o.ino;
	}
};

// What the watch keeps while the main window lives.
static struct {
	void (*changed)();
	GObjectPtr<GFile> dir;            // profils
	GObjectPtr<GFileMonitor> monitor; // on profils, null where none can be had
	DirIdentity watched;              // what profils was when the monitor was set
	std::size_t listed;               // digest of the listing behind the list
	guint pending_refresh;            // the timeout of the next rebuild, 0 if none
	guint looks;                      // the timeout that looks at profils
	int looks_since_listing;
} watch;

static DirIdentity profiles_identity()
{
	struct stat st;

	if (stat(profiles_dir, &st) != 0)
		return {errno, 0, 0};
	return {0, st.st_dev, st.st_ino};
}

// Any change of the order or of a name changes it; what it costs is one
// reading of the directory, without sorting.
static std::size_t listing_digest(const NameList &names)
{
	std::size_t digest = names.size();
	for (const std::string &name : names)
		digest = digest * 1000003 ^ std::hash<std::string>()(name);
	return digest;
}

static gboolean refresh_players(gpointer)
{
	watch.pending_refresh = 0;
	watch.changed();
	return FALSE;
}

// The monitor watches the directory profils was: once that is removed it
// says so and goes quiet, and a new profils, which may even get the same
// inode, is watched again at the next look.
static void profiles_changed(GFileMonitor *, GFile *file, GFile *, GFileMonitorEvent event,
                             gpointer)
{
	if (event == G_FILE_MONITOR_EVENT_CHANGES_DONE_HINT)
		return;
	if (g_file_equal(file, watch.dir.get()))
		watch.watched.error = -1;
	if (!watch.pending_refresh)
		watch.pending_refresh = g_timeout_add(refresh_delay_ms, refresh_players, nullptr);
}

// GLib gives no monitor at all when it cannot have inotify (the user's
// instances used up), and asks no more for the rest of the process. The old
// monitor goes first: GLib would hand the new one the old one's watch, on
// the directory profils was.
static void monitor_profiles()
{
	watch.monitor.reset();
	watch.watched = profiles_identity();
	watch.monitor.reset(
	        g_file_monitor_directory(watch.dir.get(), G_FILE_MONITOR_NONE, nullptr, nullptr));
	if (watch.monitor)
		g_signal_connect(watch.monitor.get(), "changed", G_CALLBACK(profiles_changed),
		                 nullptr);
}

static bool listing_changed()
{
	if (++watch.looks_since_listing < looks_per_listing)
		return false;
	watch.looks_since_listing = 0;
	return listing_digest(lister_fichiers(profiles_dir)) != watch.listed;
}

// One stat of profils at each look; its listing only while there is no
// monitor to say what changes in it.
static gboolean look_at_profiles(gpointer)
{
	if (!(profiles_identity() == watch.watched)) {
		monitor_profiles();
		watch.changed();
	} else if (!watch.monitor && listing_changed()) {
		watch.changed();
	}
	return TRUE;
}

void stop_following_profiles()
{
	for (guint *source : {&watch.pending_refresh, &watch.looks})
		if (*source)
			g_source_remove(*source);
	watch.pending_refresh = 0;
	watch.looks = 0;
	watch.monitor.reset();
	watch.dir.reset();
}

void follow_profiles(void (*changed)())
{
	stop_following_profiles();
	watch.changed = changed;
	watch.dir.reset(g_file_new_for_path(profiles_dir));
	monitor_profiles();
	watch.looks = g_timeout_add(identity_check_ms, look_at_profiles, nullptr);
}

void note_listing(const NameList &names)
{
	watch.listed = listing_digest(names);
}

void drop_pending_change()
{
	if (watch.pending_refresh)
		g_source_remove(watch.pending_refresh);
	watch.pending_refresh = 0;
}
