# Saving and loading through the GTK editor never damages a file, all in
# one interpreter under a file-size limit: the replace question covers the
# name with ".sc" added, every byte of a file comes back, the mode, owner
# and links of a file stay, a file that may not be written is refused, a
# path too long is refused, a save that does not fit the limit fails like
# any other, and links planted under the temporary files' names are never
# followed.
. "$E2E_DIR/x11lib.sh"
x11_start

# Save As "foo" when foo.sc exists asks before foo.sc is replaced.
replace_question() {
  echo old > foo.sc
  say "(editor)"
  w=$(window OEditor)
  typ new
  press ctrl+w
  name foo
  press Return  # the question
  echo "before the answer: $(cat foo.sc)"
  press Escape  # no: the file dialog again
  press Escape
  wait_active "$w"
  echo "after no: $(cat foo.sc)"
  press ctrl+w
  name foo
  press Return
  key alt+r
  wait_said "foo.sc saved."
  echo "after replace: $(cat foo.sc)"
  close_editor "foo.sc - OEditor"
}

# A file with NUL bytes opened and saved again is the same.
nul_bytes() {
  printf '(define s "a\0b")\n\0\0(x)\n(y)\n' > nul.sc
  cp nul.sc nul.orig
  say "(editor)"
  w=$(window OEditor)
  key ctrl+o
  wait_dialog "$w"
  locate nul.sc
  key alt+o
  wait_said "nul.sc loaded."
  wait_active "$w"
  key ctrl+s
  wait_said "nul.sc saved."
  cmp -s nul.sc nul.orig && echo "NUL bytes kept"
  close_editor "nul.sc - OEditor"
}

# The saved file keeps the mode and owner of the old one; a symbolic link
# is written through; a read-only file is refused and stays.
kept_on_disk() {
  echo old > mode.sc
  chmod 640 mode.sc
  [ "$(id -u)" = 0 ] && chown 65534:65534 mode.sc
  mkdir real
  echo old > real/target.sc
  ln -s real/target.sc link.sc
  echo old > ro.sc
  chmod 444 ro.sc
  for name in mode link ro; do
    say "(editor '$name)"
    window "$name.sc - OEditor" > /dev/null
    typ new
    key ctrl+s
    x11_wait eval "grep -q '^$name.sc' out.txt"
    close_editor "$name.sc - OEditor"
    close_editor OEditor
  done
  owner=$(stat -c %u mode.sc)
  [ "$(id -u)" = 0 ] && [ "$owner" = 65534 ] && owner=kept
  [ "$(id -u)" = 0 ] || owner=kept
  echo "mode.sc: $(stat -c %a mode.sc), owner $owner, $(cat mode.sc)"
  [ -L link.sc ] && echo "link.sc: still a link, its file: $(cat real/target.sc)"
  echo "ro.sc: $(stat -c %a ro.sc), $(cat ro.sc)"
}

# A path longer than the 256-byte buffers is refused, never shortened into
# the name of another file.
long_path() {
  d=$(printf 'd%.0s' $(seq 120))
  n=$(printf 'n%.0s' $(seq 140))
  mkdir "$d"
  full="$PWD/$d/$n.sc"
  victim=${full:0:255}
  echo keep > "$victim"
  say "(editor)"
  w=$(window OEditor)
  typ new
  key ctrl+w
  wait_dialog "$w"
  name "$d/$n"
  key Return
  x11_wait eval "grep -q 'nnn' out.txt"
  echo "the other file: $(cat "$victim"), files: $(ls "$d" | wc -l)"
  close_editor OEditor
}

# Under the file-size limit a save that does not fit fails with the
# message: the old file stays whole, the interpreter and the editor's text
# live on.
size_limit() {
  seq 20000 > big.sc
  cp big.sc big.orig
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
  cmp -s big.sc big.orig && echo "big.sc kept"
  close_editor OEditor
}

# Links planted under the names of the temporary files are never followed.
planted_links() {
  for f in victim1 victim2 victim3; do echo keep > $f; done
  ln -s victim1 _temporaly.sc
  ln -s victim2 plant.sc.tmp~
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
  echo "victims: $(cat victim1 victim2 victim3 | tr '\n' ' ')"
  [ -L _temporaly.sc ] || echo "_temporaly.sc: $(cat _temporaly.sc)"
  echo "plant.sc: $(cat plant.sc)"
}

ond_start bash -c 'ulimit -f 64 && exec "$0"'
run_cases replace_question nul_bytes kept_on_disk long_path size_limit planted_links
ond_stop
console | sed 's/nnnn*/n.../'
quiet
