# The GTK editor under a window manager, driven by keys as a student would,
# all in one interpreter: the file dialogs, evaluation, shortcuts after a
# dialog, Select All, the edit commands, undo and redo, the indentation of
# a new line, the unsaved-changes question, and a datum piped in during an
# evaluation.  On a session without D-Bus the toolkit writes no warning.
. "$E2E_DIR/x11lib.sh"
x11_start

# The file dialogs start in the current directory (its one Scheme file is
# the first row) and take Enter as their default button.
dialogs() {
  say "(editor)"
  w=$(window OEditor)
  key ctrl+o
  wait_dialog "$w"
  key Down Return
  wait_said "only.sc loaded."
  wait_active "$w"
  key ctrl+w
  wait_dialog "$w"
  name typed
  key Return
  wait_said "typed.sc saved."
  wait_active "$w"
  key ctrl+m ctrl+o
  wait_dialog "$w"
  locate only.sc
  key Return
  wait_said "only.sc loaded." 2
  echo "typed.sc: $(cat typed.sc)"
  close_editor "only.sc - OEditor"
}

# (editor 'sq) shows the definition; Ctrl+E evaluates the text.
evaluate() {
  say "(define (sq x) (* x x))"
  say "(editor (quote sq))"
  w=$(window "sq.sc - OEditor")
  [ -n "$w" ] && echo "window \"$(xdotool getwindowname "$w")\""
  key ctrl+e
  wait_said "#<unspecified>" 2
  close_editor "sq.sc - OEditor"
}

# After a dialog opened by a shortcut took the Ctrl release, typed letters
# are text again, not commands.
ctrl_after_dialog() {
  say "(editor)"
  w=$(window OEditor)
  key ctrl+s
  wait_dialog "$w"
  name area
  key alt+s
  wait_said "area.sc saved."
  wait_active "$w"
  typ '(define (area r) (* 3 r r))'
  key ctrl+s
  wait_said "area.sc saved." 2
  echo "ctrl after dialog: $(cat area.sc)"
  close_editor "area.sc - OEditor"
}

# Select All from its key and from the Edit menu selects the whole text.
select_all() {
  say "(editor 'sel)"
  window "sel.sc - OEditor" > /dev/null
  typ abc
  key ctrl+a
  typ x
  key ctrl+s
  wait_said "sel.sc saved."
  echo "select all by key: $(cat sel.sc)"
  typ def
  menu e
  key a
  typ y
  key ctrl+s
  wait_said "sel.sc saved." 2
  echo "select all from the menu: $(cat sel.sc)"
  close_editor "sel.sc - OEditor"
}

# Cut, Copy, Paste and Delete from the menu and their keys.
edit_commands() {
  say "(editor 'ed)"
  window "ed.sc - OEditor" > /dev/null
  typ "hi yo"
  key shift+Home
  menu e
  key t
  key ctrl+y ctrl+y Home ctrl+d shift+End
  menu e
  key c End
  menu e
  key p Home shift+Right shift+Right
  menu e
  key d
  key ctrl+s
  wait_said "ed.sc saved."
  echo "edited: $(cat ed.sc)"
  close_editor "ed.sc - OEditor"
}

# Undo and redo take back typing; Ctrl+Y stays Paste.
undo_redo() {
  say "(editor 'undo)"
  window "undo.sc - OEditor" > /dev/null
  typ "(sq 3)"
  key ctrl+z ctrl+s
  wait_said "undo.sc saved."
  echo "undone: [$(cat undo.sc)]"
  key ctrl+shift+z ctrl+s
  wait_said "undo.sc saved." 2
  echo "redone: [$(cat undo.sc)]"
  key ctrl+a ctrl+c End ctrl+y ctrl+s
  wait_said "undo.sc saved." 3
  echo "pasted: [$(cat undo.sc)]"
  close_editor "undo.sc - OEditor"
}

# A new line starts at the depth of the brackets open before it; brackets
# in strings, character literals and comments do not count.
indent() {
  say "(editor 'ind)"
  window "ind.sc - OEditor" > /dev/null
  typ "(define (sq x)"
  key Return
  typ "(* x x))"
  key Return
  typ '(f "(" #\( ; ('
  key Return
  typ "(g"
  key Return
  key ctrl+s
  wait_said "ind.sc saved."
  echo "indented:"
  cat -A ind.sc
  echo
  close_editor "ind.sc - OEditor"
}

# Changed text is thrown away only when the user says so; the window
# manager's close asks too, and an unchanged text closes at once.
discard_question() {
  say "(editor)"
  w=$(window OEditor)
  typ keep
  key ctrl+m
  wait_dialog "$w"
  other_active "$w" && echo "New asks first"
  key alt+n
  wait_active "$w"
  key Escape
  wait_dialog "$w"
  shown OEditor && other_active "$w" && echo "the text is kept; closing asks too"
  key alt+y
  x11_wait gone OEditor && echo "discarded when the user agreed"
  say "(editor)"
  w=$(window OEditor)
  key alt+F4
  x11_wait gone OEditor && echo "closed by the window manager"
}

# Through a pipe, a datum that arrives while the editor's text is being
# evaluated is thrown away, as a line typed at the terminal then is.
piped_during_evaluation() {
  say "(editor 'wait)"
  window "wait.sc - OEditor" > /dev/null
  typ '(exec-shell-command "touch started; while [ ! -e go ]; do sleep 0.1; done")'
  key ctrl+e
  # The evaluation waits for the lock the console holds while it reads:
  # the datum lets it go, and is thrown away.
  sleep 0.5
  say "'typed-meanwhile"
  x11_wait test -e started
  touch go
  wait_said "#<unspecified>"
  say "'after"
  wait_said after
}

echo "(only)" > only.sc
ond_start
run_cases dialogs evaluate ctrl_after_dialog select_all edit_commands undo_redo indent discard_question \
  piped_during_evaluation
ond_stop
console
quiet
