ONDREL_HEADLESS=1 "$ONDREL" < messages.in
