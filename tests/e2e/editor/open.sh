# The editor opens beside the console: a second (editor) only reports, and
# the console goes on.  Without a display the editor cannot open and the
# console goes on too.
printf "(define (sq x) (* x x))\n(editor 'sq)\n(editor)\n'after\n" | ONDREL_EDITOR=headless "$ONDREL"
printf "(editor)\n'goes-on\n" | env -u ONDREL_EDITOR -u DISPLAY -u WAYLAND_DISPLAY "$ONDREL"
