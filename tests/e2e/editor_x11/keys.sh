# The GTK editor under a window manager, driven by keys as a student would:
# shortcuts after a dialog, Select All, the edit commands, undo and redo,
# the indentation of a new line, and the unsaved-changes question.
. "$E2E_DIR/x11lib.sh"
x11_start

# After a dialog opened by a shortcut took the Ctrl release, typed letters
# are text again, not commands.
ctrl_after_dialog() {
  ond_start
  say "(editor)"
  w=$(window OEditor)
  key ctrl+s
  wait_dialog "$w"
  typ area
  key alt+s
  wait_said "area.sc saved."
  wait_active "$w"
  typ '(define (area r) (* 3 r r))'
  key ctrl+s
  wait_said "area.sc saved." 2
  ond_stop
  echo "ctrl after dialog: $(cat area.sc)"
  console
  quiet
}

# Select All from its key and from the Edit menu selects the whole text.
select_all() {
  ond_start
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
  ond_stop
  quiet
}

# Cut, Copy, Paste and Delete from the menu and their keys.
edit_commands() {
  ond_start
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
  ond_stop
  echo "edited: $(cat ed.sc)"
  quiet
}

# Undo and redo take back typing; Ctrl+Y stays Paste.
undo_redo() {
  ond_start
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
  ond_stop
  quiet
}

# A new line starts at the depth of the brackets open before it; brackets
# in strings, character literals and comments do not count.
indent() {
  ond_start
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
  ond_stop
  echo "indented:"
  cat -A ind.sc
  echo
  quiet
}

# Changed text is thrown away only when the user says so; the window
# manager's close asks too, and an unchanged text closes at once.
discard_question() {
  ond_start
  say "(editor)"
  w=$(window OEditor)
  typ keep
  key ctrl+m
  wait_dialog "$w"
  key alt+n
  wait_active "$w"
  key Escape
  wait_dialog "$w"
  key alt+y
  x11_wait gone OEditor
  say "(editor)"
  w=$(window OEditor)
  key alt+F4
  x11_wait gone OEditor && echo "closed by the window manager"
  say "'after"
  wait_said after
  ond_stop
  console
  quiet
}

run_cases ctrl_after_dialog select_all edit_commands undo_redo indent discard_question
