# Without a display the program says so once, on standard error only;
# standard output is the same as off-screen on request.
env -u DISPLAY -u WAYLAND_DISPLAY -u ONDREL_HEADLESS "$ONDREL" < open_close.in 2> notice.err
grep -c "no display, drawing off-screen" notice.err
# Off-screen on request (ONDREL_HEADLESS) is no news: nothing is said.
echo "$(ONDREL_HEADLESS=1 "$ONDREL" < open_close.in 2>&1 > /dev/null | grep -c "no display")"
