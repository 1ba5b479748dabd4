# The queries and the window's sequences with a collection at every allocation.
ONDREL_GC_STRESS=1 ONDREL_HEADLESS=1 "$ONDREL" < open_close.in
