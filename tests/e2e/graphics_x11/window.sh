# On a desktop (an Xvfb server here): open, draw, take a snapshot, close.
# The window exists with its title and size while open, goes away at
# "close", output and snapshot equal those of an off-screen run, and
# the window shows the snapshot's pixels.
# Without Xvfb, xwininfo, xwd, python3 or the GTK build the case is
# skipped (exit 77).
export LC_ALL=C
for tool in Xvfb xwininfo xwd python3; do
  command -v $tool > /dev/null || { echo "SKIPPED: the desktop window test needs $tool" >&2; exit 77; }
done
ldd "$ONDREL" "${ONDREL%/*}/ondrel-desktop.so" 2> /dev/null | grep -q libgtk-3 ||
  { echo "SKIPPED: the desktop window test needs a GTK build" >&2; exit 77; }
unset ONDREL_HEADLESS WAYLAND_DISPLAY
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3> display.txt 2> xvfb.log &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 100); do [ -s display.txt ] && break; sleep 0.1; done
export DISPLAY=":$(cat display.txt)"
{
  cat window.in
  # Wait (at most 30 s) for the snapshot that ends the drawing and for the
  # window to be mapped, then give it a moment to repaint.
  for _ in $(seq 300); do [ -s shown.bmp ] && xwininfo -name Ondrel >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 0.5
  xwininfo -name Ondrel 2>/dev/null | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print "window \"Ondrel\" " w "x" h}' > seen.txt
  xwd -silent -name Ondrel -out window.xwd
  echo "(close)"
  for _ in $(seq 100); do xwininfo -name Ondrel >/dev/null 2>&1 || break; sleep 0.1; done
  xwininfo -name Ondrel > /dev/null 2>&1 || echo "window closed" >> seen.txt
} | "$ONDREL" > desktop.out 2> desktop.err
mv shown.bmp desktop.bmp
{ cat window.in; echo "(close)"; } | ONDREL_HEADLESS=1 "$ONDREL" > headless.out 2> /dev/null
cat seen.txt
cmp -s desktop.out headless.out && echo "same output"
cmp -s desktop.bmp shown.bmp && echo "same picture"
python3 same_pixels.py window.xwd shown.bmp
