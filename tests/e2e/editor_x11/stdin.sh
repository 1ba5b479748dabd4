# Through a pipe, a datum that arrives while the editor's text is being
# evaluated is thrown away, as a line typed at the terminal then is.
. "$E2E_DIR/x11lib.sh"
x11_start

piped_during_evaluation() {
  ond_start
  say "(editor 'wait)"
  window "wait.sc - OEditor" > /dev/null
  typ '(exec-shell-command "touch started; while [ ! -e go ]; do sleep 0.1; done")'
  key ctrl+e
  x11_wait test -e started
  say "'typed-meanwhile"
  sleep 1
  touch go
  wait_said "#<unspecified>"
  say "'after"
  wait_said after
  ond_stop
  console
  quiet
}

run_cases piped_during_evaluation
