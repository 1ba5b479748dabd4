# x11lib.sh - sourced by the desktop cases: a private X server (Xvfb) with
# the openbox window manager, one interpreter reading a fifo, and helpers
# that press keys in its windows with xdotool, as a user would.  Every wait
# polls for what it waits for.  Without the tools or a GTK build the case
# exits with 77, which the runner reports to CTest as skipped.
X11_SKIP=77

# Retry COMMAND every 50 ms for up to 60 seconds until it succeeds (a
# loaded machine may take that long to start the toolkit under the
# sanitizers; a passing run never waits that long).
x11_wait() {
  local i
  for ((i = 0; i < 1200; i++)); do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}

# The X server and the window manager, for the rest of the script.  The
# session has no D-Bus, and every file the toolkit writes stays here.
x11_start() {
  local t
  for t in Xvfb openbox xdotool xprop "$@"; do
    command -v "$t" > /dev/null || { echo "needs $t" >&2; exit $X11_SKIP; }
  done
  ldd "$ONDREL" "${ONDREL%/*}/ondrel-desktop.so" 2> /dev/null | grep -q libgtk-3 ||
    { echo "needs a GTK build" >&2; exit $X11_SKIP; }
  export LC_ALL=C.UTF-8 HOME=$PWD/.home XDG_RUNTIME_DIR=$PWD/.run
  unset ONDREL_EDITOR ONDREL_HEADLESS WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS GSETTINGS_BACKEND NO_AT_BRIDGE
  export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  rm -f .display
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3> .display 2> .xvfb.log &
  X11_PIDS=$!
  OND_PID=
  trap x11_stop EXIT
  x11_wait test -s .display || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(cat .display)"
  openbox --sm-disable > .openbox.log 2>&1 &
  X11_PIDS="$X11_PIDS $!"
  x11_wait eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    { echo "openbox did not start" >&2; exit 1; }
}

x11_stop() {
  [ -n "$OND_PID" ] && kill "$OND_PID" 2> /dev/null
  # shellcheck disable=SC2086
  kill $X11_PIDS 2> /dev/null
  wait 2> /dev/null
}

# Start the interpreter reading the fifo .in (held open on descriptor 4),
# writing out.txt and err.txt.  Arguments go before the program (env
# VAR=..., or a shell with a ulimit).
ond_start() {
  rm -f .in out.txt err.txt
  mkfifo .in
  "$@" "$ONDREL" < .in > out.txt 2> err.txt &
  OND_PID=$!
  exec 4> .in
  MARK=0
}
say() { printf '%s\n' "$*" >&4; }

# End the input and wait (at most 60 s) for the interpreter to finish.
ond_stop() {
  exec 4>&-
  x11_wait eval '! kill -0 "$OND_PID" 2> /dev/null' || kill "$OND_PID" 2> /dev/null
  wait "$OND_PID" 2> /dev/null
  OND_PID=
}

# A case starts: what the interpreter printed so far no longer counts.
mark() { MARK=$(wc -l < out.txt); }
# Since the mark the interpreter printed the line TEXT at least N (default
# 1) times.
said() { [ "$(tail -n +$((MARK + 1)) out.txt | grep -cxF -- "$1")" -ge "${2:-1}" ]; }
wait_said() { x11_wait said "$@" || echo "not said: $1" >&2; }

# The first visible window titled exactly NAME; wait for it and print its id.
win_named() { xdotool search --onlyvisible --name "^$1\$" 2> /dev/null | head -1; }
shown() { [ -n "$(win_named "$1")" ]; }
gone() { ! shown "$1"; }
wait_win() { x11_wait shown "$1" && win_named "$1" || echo "no window \"$1\"" >&2; }

# Keys and text for the window that has the keyboard focus.
key() { xdotool key --delay 40 "$@"; }
typ() { xdotool type --delay 15 -- "$1"; }
# Open the menu whose mnemonic is KEY and wait until it shows.
menus() { xdotool search --onlyvisible --class ondrel 2> /dev/null | wc -l; }
more_menus() { [ "$(menus)" -gt "$1" ]; }
menu() {
  local n
  n=$(menus)
  key "alt+$1"
  x11_wait more_menus "$n"
}

# The window with the focus is W / is another one (a dialog W opened).
active_is() { [ "$(xdotool getactivewindow 2> /dev/null)" = "$1" ]; }
other_active() {
  local a
  a=$(xdotool getactivewindow 2> /dev/null)
  [ -n "$a" ] && [ "$a" != "$1" ]
}
# Wait for the focus, then give the toolkit a moment to take keys there.
wait_active() {
  x11_wait active_is "$1" || echo "not active: $1" >&2
  sleep 0.1
}
wait_dialog() {
  x11_wait other_active "$1" || echo "no dialog over $1" >&2
  sleep 0.3
}
# Press keys that move the focus to another window (a dialog, or back).
press() {
  local a
  a=$(xdotool getactivewindow 2> /dev/null)
  key "$@"
  wait_dialog "$a"
}
# Wait for the window titled NAME with the focus; print its id.
window() {
  local w
  w=$(wait_win "$1") && wait_active "$w"
  echo "$w"
}
# Type a name into a file dialog, and give its completion a moment; in its
# location field (opened with Ctrl+L) no typed key goes to the file list.
name() {
  typ "$1"
  sleep 0.5
}
locate() {
  key ctrl+l
  sleep 0.2
  name "$1"
}

# Whether the window W no longer exists.  A search by name can miss a window
# that is still there while another one (a dialog) is being destroyed, so a
# closing is checked on the window itself.
destroyed() { ! xdotool getwindowname "$1" > /dev/null 2>&1; }
# Close the editor titled NAME with Esc, agreeing to throw away changes
# when it asks.
gone_or_asking() { destroyed "$1" || other_active "$1"; }
close_editor() {
  local w
  w=$(win_named "$1")
  [ -n "$w" ] || return 0
  key Escape
  x11_wait gone_or_asking "$w"
  destroyed "$w" || { sleep 0.3 && key alt+y; }
  x11_wait destroyed "$w" || echo "still open: $1" >&2
}

# What the interpreter printed after its start-up lines, and whether the
# toolkit wrote any warning on standard error.
console() { sed '1,4d' out.txt | grep -v '^Bye\.$'; }
quiet() {
  if grep -qE 'WARNING|CRITICAL|Gtk-|GLib-' err.txt; then
    echo "stderr: $(grep -m1 -E 'WARNING|CRITICAL|Gtk-|GLib-' err.txt)"
  else
    echo "stderr: clean"
  fi
}

# Run each named case in turn with the mark set; each leaves no editor open.
run_cases() {
  local c
  for c; do
    mark
    "$c"
  done
}
