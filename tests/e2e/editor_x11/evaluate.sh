# (editor 'sq) opens the GTK editor titled "sq.sc - OEditor" with the
# definition; Ctrl+E in that window evaluates its text and the results
# appear on standard output.
. "$E2E_DIR/x11lib.sh"
x11_start

evaluate() {
  ond_start
  say "(define (sq x) (* x x))"
  say "(editor (quote sq))"
  w=$(window "sq.sc - OEditor")
  [ -n "$w" ] && echo "window \"$(xdotool getwindowname "$w")\""
  key ctrl+e
  wait_said "#<unspecified>" 2
  ond_stop
  console
  quiet
}

run_cases evaluate
