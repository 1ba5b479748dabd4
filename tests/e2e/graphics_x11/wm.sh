# The graphics window under a window manager: it offers no close, minimise
# or maximise function (and comes back when minimised all the same), the
# keyboard focus stays where the user types when it opens, and destroyed
# from outside it comes back without a toolkit warning.
. "$E2E_DIR/x11lib.sh"
x11_start

# The window manager functions a window's Motif hints offer.
functions() {
  local h flags f bit names=(resize move minimise maximise close) out=
  h=$(xprop -id "$1" _MOTIF_WM_HINTS | sed -n 's/.*= //p' | tr -d ' ')
  flags=$(($(echo "$h" | cut -d, -f1)))
  f=$(($(echo "$h" | cut -d, -f2)))
  ((flags & 1)) || f=1
  for bit in 0 1 2 3 4; do
    if ((f & 1)); then ((f & (2 << bit))) || out+="${names[bit]} "; else ((f & (2 << bit))) && out+="${names[bit]} "; fi
  done
  echo "${out% }"
}

window_manager() {
  ond_start
  say "(editor)"
  ew=$(window OEditor)
  say "(open)"
  gw=$(wait_win Ondrel)
  sleep 1
  active_is "$ew" && echo "the focus stayed with the editor"
  echo "functions offered: $(functions "$gw")"
  xdotool windowminimize "$gw"
  sleep 0.5
  xwininfo -id "$gw" | grep -q IsViewable && echo "still shown after a request to minimise"
  xdotool windowclose "$gw"
  x11_wait eval '[ -n "$(win_named Ondrel)" ] && [ "$(win_named Ondrel)" != "$gw" ]' && echo "shown again"
  say "(forward 50)"
  say "'drawn"
  wait_said drawn
  say "(close)"
  x11_wait gone Ondrel && echo "closed"
  ond_stop
  console
  quiet
}

run_cases window_manager
