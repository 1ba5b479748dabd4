# The file dialogs start in the current directory and take Enter as their
# default button, and on a session without D-Bus the toolkit writes no
# warning on standard error.
. "$E2E_DIR/x11lib.sh"
x11_start

enter_and_directory() {
  echo "(only)" > only.sc
  ond_start
  say "(editor)"
  w=$(window OEditor)
  # The list shows this directory: its one Scheme file is the first row.
  key ctrl+o
  wait_dialog "$w"
  key Down Return
  wait_said "only.sc loaded."
  wait_active "$w"
  key ctrl+w
  wait_dialog "$w"
  typ typed
  key Return
  wait_said "typed.sc saved."
  wait_active "$w"
  key ctrl+m ctrl+o
  wait_dialog "$w"
  locate only.sc
  key Return
  wait_said "only.sc loaded." 2
  ond_stop
  echo "typed.sc: $(cat typed.sc)"
  console
  quiet
}

run_cases enter_and_directory
