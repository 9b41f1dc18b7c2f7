#!/bin/sh
# Installs the launcher into scratch prefixes and checks what a user gets:
# the game directory, the icons, a valid desktop entry naming the installed
# paths, AppStream metainfo and a manual page of the project's VERSION,
# profiles that survive a second install, and a program that starts through
# its desktop entry on the test's display and keeps running quietly.
#
# Usage: install_check.sh CMAKE BUILD_DIR SOURCE_DIR VERSION
set -eu
cmake=$1
build=$2
source=$3
version=$4

tmp=$(mktemp -d "${TMPDIR:-/tmp}/trovik-install-XXXXXX")
pid=""
program=""
# A program of ours that never showed its window is found by its file, which
# lies in this test's own directory.
cleanup() {
	if [ -n "$program" ]; then
		for p in /proc/[0-9]*; do
			[ "$(readlink "$p/exe" 2>/dev/null)" = "$program" ] && kill -KILL "${p#/proc/}" 2>/dev/null
		done
	fi
	rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
	echo "FAIL: $*" >&2
	exit 1
}

install_into() { # PREFIX [DESTDIR]
	if [ -n "${2:-}" ]; then
		DESTDIR=$2 "$cmake" --install "$build" --prefix "$1" >"$tmp/install.log" 2>&1
	else
		env -u DESTDIR "$cmake" --install "$build" --prefix "$1" >"$tmp/install.log" 2>&1
	fi || { cat "$tmp/install.log" >&2; fail "install into $1 failed"; }
}

# Checks the tree under ROOT (a prefix as seen on disk) for an install whose
# prefix is PREFIX.
check_layout() { # ROOT PREFIX
	root=$1
	game=$root/share/gtktrovik
	[ -f "$game/gtktrovik" ] || fail "no program in $game"
	[ -x "$game/gtktrovik" ] || fail "the program in $game cannot be run"
	cmp -s "$game/gtktrovik.glade" "$source/data/gtktrovik.glade" ||
		fail "gtktrovik.glade not installed as it is"
	cmp -s "$game/textures/image.tga" "$source/data/textures/image.tga" ||
		fail "textures/image.tga not installed as it is"
	[ -d "$game/profils" ] || fail "no profils/ in $game"

	# Software centres want 64 pixels at least, on a transparent ground.
	for size in 48 64 128 256; do
		icon=$root/share/icons/hicolor/${size}x$size/apps/gtktrovik.png
		[ -f "$icon" ] || fail "no ${size}x$size icon"
		[ "$(identify -format '%m %wx%h %[fx:p{0,0}.a]' "$icon")" = "PNG ${size}x$size 0" ] ||
			fail "the ${size}x$size icon is not a PNG of that size on a transparent ground"
	done
	[ -f "$game/gtktrovik.png" ] || fail "no window icon in $game"

	metainfo=$root/share/metainfo/org.trovik.gtktrovik.metainfo.xml
	[ -f "$metainfo" ] || fail "no AppStream metainfo"
	appstreamcli validate --no-net "$metainfo" >"$tmp/validate.log" 2>&1 ||
		{ cat "$tmp/validate.log" >&2; fail "appstreamcli validate: $metainfo"; }
	grep -qF "<release version=\"$version\"" "$metainfo" ||
		fail "the metainfo's release is not version $version"

	manual=$root/share/man/man6/gtktrovik.6
	[ -f "$manual" ] || fail "no manual page"
	groff -man -ww -z "$manual" >"$tmp/groff.log" 2>&1 || true
	[ ! -s "$tmp/groff.log" ] || { cat "$tmp/groff.log" >&2; fail "groff warns: $manual"; }

	entry=$root/share/applications/gtktrovik.desktop
	[ -f "$entry" ] || fail "no desktop entry"
	desktop-file-validate "$entry" >"$tmp/validate.log" 2>&1 || true
	[ ! -s "$tmp/validate.log" ] || { cat "$tmp/validate.log" >&2; fail "desktop-file-validate: $entry"; }
	grep -qxF "Path=$2/share/gtktrovik" "$entry" || fail "Path= is not the game directory: $(grep ^Path= "$entry")"
	grep -qxF 'Icon=gtktrovik' "$entry" || fail "Icon= is not the installed icon's name"
	grep -qxF 'StartupNotify=true' "$entry" || fail "the desktop entry does not notify start-up"
	grep -q '^Keywords=.' "$entry" || fail "the desktop entry has no keywords"
}

# A staged install: everything lands below DESTDIR, and the entry names the
# final paths, quoted and escaped where the prefix needs it. The dollar sign
# is part of the directory's name.
# shellcheck disable=SC2016
prefix='/opt/trovik game $HOME'
stage=$tmp/stage
install_into "$prefix" "$stage"
check_layout "$stage$prefix" "$prefix"
[ "$(ls -A "$stage")" = opt ] || fail "the staged install wrote outside its prefix: $(ls -A "$stage")"
# shellcheck disable=SC2016
grep -qxF 'Exec="/opt/trovik game \\$HOME/share/gtktrovik/gtktrovik"' "$entry" ||
	fail "Exec= is not the installed program: $(grep ^Exec= "$entry")"
! grep -qF "$stage" "$entry" || fail "the desktop entry names the staging directory"
[ -z "$(ls -A "$stage$prefix/share/gtktrovik/profils")" ] || fail "a new profils/ is not empty"

# A second install over the first keeps the players and their records.
players=$stage$prefix/share/gtktrovik/profils
mkdir -p "$players/anna/pack1"
echo record >"$players/anna/pack1/r1"
install_into "$prefix" "$stage"
[ "$(cat "$players/anna/pack1/r1" 2>/dev/null)" = record ] || fail "a second install lost profils/ content"
[ "$(ls -A "$players")" = anna ] || fail "a second install changed profils/: $(ls -A "$players")"

# A real install, started as a desktop would: from somewhere else, through
# the entry, whose Path= must give the program its game directory.
[ -n "${DISPLAY:-}" ] || fail "needs an X display (scripts/with-display.sh starts one)"
prefix="$tmp/with space"
install_into "$prefix"
check_layout "$prefix" "$prefix"
game=$prefix/share/gtktrovik
program=$game/gtktrovik

(cd / && exec gio launch "$entry") >"$tmp/out" 2>"$tmp/err" || {
	cat "$tmp/err" >&2
	fail "gio launch $entry failed"
}
# The program is known by its window: the one on the display whose process
# runs the installed file.
deadline=$(($(date +%s) + 60))
while [ -z "$pid" ]; do
	if [ "$(date +%s)" -ge "$deadline" ]; then
		cat "$tmp/out" "$tmp/err" >&2
		fail "the installed program showed no window"
	fi
	for w in $(xdotool search --onlyvisible --name '^Trovik$' 2>/dev/null); do
		p=$(xdotool getwindowpid "$w" 2>/dev/null) || continue
		if [ "$(readlink "/proc/$p/exe" 2>/dev/null)" = "$program" ]; then
			pid=$p
			break
		fi
	done
	[ -n "$pid" ] || sleep 0.2
done
[ "$(readlink "/proc/$pid/cwd")" = "$game" ] ||
	fail "the program runs in $(readlink "/proc/$pid/cwd"), not in its game directory"
sleep 1
kill -0 "$pid" 2>/dev/null || { cat "$tmp/out" "$tmp/err" >&2; fail "the installed program ended"; }
if [ -s "$tmp/out" ] || [ -s "$tmp/err" ]; then
	cat "$tmp/out" "$tmp/err" >&2
	fail "the installed program printed something"
fi
kill -KILL "$pid"
echo "install check passed"
