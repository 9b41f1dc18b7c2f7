#!/bin/sh
# Runs a command on the current X display, or on a virtual one (Xvfb with
# Mesa's software GL) started for it when there is none. With --own, on a
# virtual display of its own whatever the current one: tests that run side
# by side must not take each other's keyboard focus or grabs.
set -eu
# Tests have no session bus. Without its address, GTK 3's accessibility
# bridge has libdbus launch one at start: it forks the launcher, whose
# threads are already running, and waits on the child. Under the
# sanitizers that child can stop for good on an allocator lock another
# thread held at the fork, and the launcher with it. A bus that is not
# there is given up at once.
export DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-unix:path=/nonexistent}"
if [ "${1:-}" = "--own" ]; then
	shift
	unset DISPLAY
fi
if [ -n "${DISPLAY:-}" ]; then
	exec "$@"
fi

fdfile="$(mktemp)"
# Without -noreset the server resets whenever its last client leaves, and a
# test process that connects during the reset finds no display.
Xvfb -displayfd 3 -screen 0 1280x1024x24 +extension GLX -nolisten tcp -noreset 3>"$fdfile" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$fdfile"' EXIT INT TERM
for _ in $(seq 100); do
	[ -s "$fdfile" ] && break
	sleep 0.1
done
[ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n1 "$fdfile")"
export DISPLAY
"$@"
