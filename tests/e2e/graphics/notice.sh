# Without a display the program says so once, on standard error only;
# standard output is the same as off-screen on request.
env -u DISPLAY -u WAYLAND_DISPLAY -u ONDREL_HEADLESS "$ONDREL" < open_close.in 2> notice.err
grep -c "no display, drawing off-screen" notice.err
