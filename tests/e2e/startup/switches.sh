# The banner, the init file's line and the farewell for each set of
# switches, every line shown after "| " so that the runner compares them
# too: -J or -j, with anything after the letter, selects the Japanese
# farewell; other switches change nothing.  Without an init file the
# program says so and ends.
for args in "" -J -j -Jfoo -x "-x -J"; do
  echo "ondrel $args"
  "$ONDREL" $args < /dev/null | sed 's/^/| /'
done
mkdir bin && cp "$ONDREL" bin/ondrel
echo "without an init file"
echo "'never-read" | env -u ROZIVEVUDE bin/ondrel -J | sed 's/^/| /'
