#!/bin/sh
# Installs the launcher into scratch prefixes and checks what a user gets:
# the program under lib/, read-only data under share/ with nothing writable
# or of machine code there, the command on PATH, the icons, a valid desktop
# entry naming the command, AppStream metainfo and a manual page of the
# project's VERSION; then that the command, started from elsewhere, gives a
# new player a game directory and starts the launcher in it, and that after
# an upgrade it points the links again and leaves the player's files alone.
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
	data=$root/share/games/gtktrovik
	for program in "$root/games/gtktrovik" "$root/lib/games/gtktrovik/gtktrovik"; do
		[ -f "$program" ] && [ -x "$program" ] || fail "no program $program"
	done
	for file in gtktrovik.glade textures/image.tga; do
		cmp -s "$data/$file" "$source/data/$file" || fail "$file not installed as it is"
	done
	find "$root/share" -type f | while read -r file; do
		[ "$(od -An -tx1 -N4 "$file")" != " 7f 45 4c 46" ] || fail "machine code under share/: $file"
	done
	[ -z "$(find "$root" -name profils)" ] || fail "a profils/ made under the prefix"
	[ -z "$(find "$root" ! -type l -perm -o+w)" ] || fail "writable for all: $(find "$root" ! -type l -perm -o+w)"

	# Software centres want 64 pixels at least, on a transparent ground.
	for size in 48 64 128 256; do
		icon=$root/share/icons/hicolor/${size}x$size/apps/gtktrovik.png
		[ -f "$icon" ] || fail "no ${size}x$size icon"
		[ "$(identify -format '%m %wx%h %[fx:p{0,0}.a]' "$icon")" = "PNG ${size}x$size 0" ] ||
			fail "the ${size}x$size icon is not a PNG of that size on a transparent ground"
	done
	[ -f "$data/gtktrovik.png" ] || fail "no window icon in $data"

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
	grep -qxF 'Icon=gtktrovik' "$entry" || fail "Icon= is not the installed icon's name"
	grep -qxF 'StartupNotify=true' "$entry" || fail "the desktop entry does not notify start-up"
	grep -q '^Keywords=.' "$entry" || fail "the desktop entry has no keywords"
}

# Every directory is the packager's to set, given as packagers give them:
# untyped and relative, which CMake must not take as relative to where it
# runs.
configured=$tmp/configured
(cd "$tmp" && "$cmake" -S "$source" -B "$configured" -DTROVIK_TESTS=OFF -DTROVIK_BENCHMARKS=OFF \
	-DTROVIK_INSTALL_COMMANDDIR=c/bin -DTROVIK_INSTALL_PROGRAMDIR=c/lib \
	-DTROVIK_INSTALL_GAMEDATADIR=c/data -DTROVIK_INSTALL_APPLICATIONSDIR=c/apps \
	-DTROVIK_INSTALL_ICONSDIR=c/icons -DTROVIK_INSTALL_METAINFODIR=c/meta) >"$tmp/configure.log" 2>&1 ||
	{ cat "$tmp/configure.log" >&2; fail "configuring with install directories failed"; }
for dir in bin lib data apps icons meta; do
	grep -qE "[/\"]c/$dir" "$configured/cmake_install.cmake" || fail "the install ignores c/$dir"
done
! grep -qF "$tmp/c/" "$configured/cmake_install.cmake" || fail "an install directory was made absolute"

# A staged install: everything lands below DESTDIR, and the entry names the
# final command, quoted and escaped where the prefix needs it. The dollar
# sign is part of the directory's name.
# shellcheck disable=SC2016
prefix='/opt/trovik game $HOME'
stage=$tmp/stage
install_into "$prefix" "$stage"
check_layout "$stage$prefix" "$prefix"
[ "$(ls -A "$stage")" = opt ] || fail "the staged install wrote outside its prefix: $(ls -A "$stage")"
# shellcheck disable=SC2016
grep -qxF 'Exec="/opt/trovik game \\$HOME/games/gtktrovik"' "$entry" ||
	fail "Exec= is not the installed command: $(grep ^Exec= "$entry")"
! grep -qF "$stage" "$entry" || fail "the desktop entry names the staging directory"

# Waits for the window of a launcher running PROGRAM, started by the command
# before, and checks that it runs quietly in GAME, the player's game
# directory, which links the data of DATA; then ends it.
check_started() { # PROGRAM GAME DATA
	program=$1
	pid=""
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
	[ "$(readlink "/proc/$pid/cwd")" = "$2" ] ||
		fail "the program runs in $(readlink "/proc/$pid/cwd"), not in $2"
	[ -d "$2/profils" ] || fail "no profils/ in $2"
	for file in gtktrovik.glade textures/image.tga gtktrovik.png; do
		[ "$(readlink "$2/$file")" = "$3/$file" ] || fail "$2/$file does not link to $3/$file"
	done
	sleep 1
	kill -0 "$pid" 2>/dev/null || { cat "$tmp/out" "$tmp/err" >&2; fail "the installed program ended"; }
	if [ -s "$tmp/out" ] || [ -s "$tmp/err" ]; then
		cat "$tmp/out" "$tmp/err" >&2
		fail "the installed program printed something"
	fi
	kill -KILL "$pid"
}

# A real install, started as a desktop would: from somewhere else, through
# the entry, by a player who never ran it, in a home of their own.
[ -n "${DISPLAY:-}" ] || fail "needs an X display (scripts/with-display.sh starts one)"
first="$tmp/with space"
install_into "$first"
check_layout "$first" "$first"
home=$tmp/home
mkdir "$home"
(cd / && HOME=$home exec env -u XDG_DATA_HOME gio launch "$entry") >"$tmp/out" 2>"$tmp/err" ||
	{ cat "$tmp/err" >&2; fail "gio launch $entry failed"; }
game=$home/.local/share/trovik
check_started "$first/lib/games/gtktrovik/gtktrovik" "$game" "$first/share/games/gtktrovik"

# An upgrade moves the install and ships the game beside the data: the
# links follow, the game is linked in, and what the player made stays.
mkdir -p "$game/profils/anna/pack1"
echo record >"$game/profils/anna/pack1/r1"
echo notes >"$game/notes.txt"
second=$tmp/second
install_into "$second"
rm -rf "$first"
printf '#!/bin/sh\n' >"$second/share/games/gtktrovik/trovik.exe"
(cd "$tmp" && HOME=$home XDG_DATA_HOME=$home/.local/share exec "$second/games/gtktrovik") \
	>"$tmp/out" 2>"$tmp/err" &
check_started "$second/lib/games/gtktrovik/gtktrovik" "$game" "$second/share/games/gtktrovik"
[ "$(readlink "$game/trovik.exe")" = "$second/share/games/gtktrovik/trovik.exe" ] ||
	fail "the game beside the data is not linked in"
[ "$(cat "$game/profils/anna/pack1/r1")$(cat "$game/notes.txt")" = recordnotes ] ||
	fail "the player's own files were touched"
# An upgrade under way, its interface file not there yet: the launcher's
# line and status pass through the command, and a window of the command's
# says what to do. That window may be made again as it shows: Escape goes
# to whichever is there until the command ends.
mv "$second/share/games/gtktrovik/gtktrovik.glade" "$tmp/away.glade"
(cd "$tmp" && HOME=$home XDG_DATA_HOME=$home/.local/share exec "$second/games/gtktrovik") \
	>"$tmp/out" 2>"$tmp/err" &
command=$!
seen=""
while kill -0 "$command" 2>/dev/null; do
	for w in $(xdotool search --onlyvisible --pid "$command" --name '^Trovik$' 2>/dev/null); do
		seen=1
		xdotool windowfocus "$w" key Escape 2>/dev/null || true
	done
	sleep 0.5
done
status=0
wait "$command" || status=$?
[ -n "$seen" ] && [ "$status" = 1 ] && printf 'zelk.glade loading error\n\n' | cmp -s - "$tmp/out" &&
	grep -qF 'Réinstallez le paquet du jeu.' "$tmp/err" ||
	{ cat "$tmp/out" "$tmp/err" >&2; fail "a launcher that could not start (status $status) said it in no window"; }
echo "install check passed"
