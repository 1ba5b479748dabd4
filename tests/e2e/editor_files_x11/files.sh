# Saving and loading through the GTK editor never damages a file: the
# replace question covers the name with ".sc" added, every byte of a file
# comes back, the mode, owner and links of a file stay, and a file that
# may not be written is refused.
. "$E2E_DIR/x11lib.sh"
x11_start

# Save As "foo" when foo.sc exists asks before foo.sc is replaced.
replace_question() {
  echo old > foo.sc
  ond_start
  say "(editor)"
  w=$(window OEditor)
  typ new
  key ctrl+w
  wait_dialog "$w"
  typ foo
  key Return
  sleep 1
  echo "before the answer: $(cat foo.sc)"
  key Escape
  sleep 0.8
  key Escape
  wait_active "$w"
  echo "after no: $(cat foo.sc)"
  key ctrl+w
  wait_dialog "$w"
  typ foo
  key Return
  sleep 1
  key alt+r
  wait_said "foo.sc saved."
  echo "after replace: $(cat foo.sc)"
  ond_stop
  console
  quiet
}

# A file with NUL bytes opened and saved again is the same.
nul_bytes() {
  printf '(define s "a\0b")\n\0\0(x)\n(y)\n' > nul.sc
  cp nul.sc nul.orig
  ond_start
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
  ond_stop
  cmp -s nul.sc nul.orig && echo "NUL bytes kept"
  console
  quiet
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
  ond_start
  for name in mode link ro; do
    say "(editor '$name)"
    window "$name.sc - OEditor" > /dev/null
    typ new
    key ctrl+s
    x11_wait eval "grep -q '^$name.sc' out.txt"
    close_editor "$name.sc - OEditor"
    close_editor OEditor
  done
  ond_stop
  owner=$(stat -c %u mode.sc)
  [ "$(id -u)" = 0 ] && [ "$owner" = 65534 ] && owner=kept
  [ "$(id -u)" = 0 ] || owner=kept
  echo "mode.sc: $(stat -c %a mode.sc), owner $owner, $(cat mode.sc)"
  [ -L link.sc ] && echo "link.sc: still a link, its file: $(cat real/target.sc)"
  echo "ro.sc: $(stat -c %a ro.sc), $(cat ro.sc)"
  console
  quiet
}

run_cases replace_question nul_bytes kept_on_disk
