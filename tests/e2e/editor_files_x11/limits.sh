# Saving through the GTK editor at the limits: a path too long is refused,
# a file-size limit is a failure like any other, and links planted under
# the temporary files' names are never followed.
. "$E2E_DIR/x11lib.sh"
x11_start

# A path longer than the 256-byte buffers is refused, never shortened into
# the name of another file.
long_path() {
  d=$(printf 'd%.0s' $(seq 120))
  n=$(printf 'n%.0s' $(seq 140))
  mkdir "$d"
  full="$PWD/$d/$n.sc"
  victim=${full:0:255}
  echo keep > "$victim"
  ond_start
  say "(editor)"
  w=$(window OEditor)
  typ new
  key ctrl+w
  wait_dialog "$w"
  typ "$d/$n"
  key Return
  x11_wait eval "grep -q 'nnn' out.txt"
  ond_stop
  echo "the other file: $(cat "$victim"), files: $(ls "$d" | wc -l)"
  console | sed 's/nnnn*/n.../'
  quiet
}

# Under a file-size limit a save that does not fit fails with the message:
# the old file stays whole, the interpreter and the editor's text live on.
size_limit() {
  seq 20000 > big.sc
  cp big.sc big.orig
  ond_start bash -c 'ulimit -f 64 && exec "$0"'
  say "(editor)"
  w=$(window OEditor)
  key ctrl+o
  wait_dialog "$w"
  locate big.sc
  key alt+o
  wait_said "big.sc loaded."
  wait_active "$w"
  key ctrl+End
  typ x
  key ctrl+s
  wait_said "big.sc: Couldn't open file."
  say "'alive"
  wait_said alive
  [ -n "$(win_named OEditor)" ] && echo "the editor is still open"
  ond_stop
  cmp -s big.sc big.orig && echo "big.sc kept"
  console
  quiet
}

# Links planted under the names of the temporary files are never followed.
planted_links() {
  for f in victim1 victim2 victim3; do echo keep > $f; done
  ln -s victim1 _temporaly.sc
  ln -s victim2 plant.sc.tmp~
  ond_start
  say "(define (sq x) (* x x))"
  say "(editor 'sq)"
  window "sq.sc - OEditor" > /dev/null
  rm _temporaly.sc
  ln -s victim3 _temporaly.sc
  key ctrl+a
  typ "(+ 1 2)"
  key ctrl+e
  wait_said 3
  close_editor "sq.sc - OEditor"
  say "(editor 'plant)"
  window "plant.sc - OEditor" > /dev/null
  typ "(x)"
  key ctrl+s
  wait_said "plant.sc saved."
  ond_stop
  echo "victims: $(cat victim1 victim2 victim3 | tr '\n' ' ')"
  [ -L _temporaly.sc ] || echo "_temporaly.sc: $(cat _temporaly.sc)"
  echo "plant.sc: $(cat plant.sc)"
  console
  quiet
}

run_cases long_path size_limit planted_links
