# On a desktop (an Xvfb server here): (editor 'sq) opens the GTK editor
# titled "sq.sc - OEditor" with the definition; Ctrl+E sent to that window
# evaluates its text and the result appears on standard output.
# Without Xvfb, xdotool or the GTK build the case is skipped (said on
# standard error) and prints what a passing run prints.
export LC_ALL=C
expected() {
  echo 'window "sq.sc - OEditor"'
  printf '#<unspecified>\n()\n\n#<unspecified>\n'
}
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null || ! ldd "$ONDREL" "${ONDREL%/*}/ondrel-desktop.so" 2>/dev/null | grep -q libgtk-3; then
  echo "skipped: no Xvfb/xdotool/GTK" >&2
  expected
  exit 0
fi
unset ONDREL_EDITOR ONDREL_HEADLESS WAYLAND_DISPLAY
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3> display.txt 2> xvfb.log &
xvfb=$!
ondrel=
trap 'exec 4>&- 2>/dev/null; [ -n "$ondrel" ] && kill $ondrel 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 100); do [ -s display.txt ] && break; sleep 0.1; done
export DISPLAY=":$(cat display.txt)"
mkfifo in
timeout 20 "$ONDREL" < in > out.txt 2> err.txt &
ondrel=$!
exec 4> in
printf '(define (sq x) (* x x))\n(editor (quote sq))\n' >&4
win=
for _ in $(seq 100); do
  win=$(timeout 2 xdotool search --name '^sq\.sc - OEditor$' 2>/dev/null | head -1)
  [ -n "$win" ] && break
  sleep 0.1
done
[ -n "$win" ] && echo "window \"$(xdotool getwindowname "$win")\""
before=$(wc -c < out.txt)
xdotool key --window "$win" ctrl+e
for _ in $(seq 100); do
  [ "$(wc -c < out.txt)" -ge $((before + 16)) ] && break
  sleep 0.1
done
exec 4>&-
wait $ondrel
ondrel=
# Only the lines after the banner and start-up messages, up to the farewell.
sed -n '/^#<unspecified>$/,$p' out.txt | grep -v '^Bye\.$'
