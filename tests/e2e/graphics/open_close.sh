ONDREL_HEADLESS=1 "$ONDREL" < open_close.in
