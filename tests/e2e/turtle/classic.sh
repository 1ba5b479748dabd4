# A square spiral, a star and a recursive tree: the snapshot must match
# classic.bmp byte for byte; a few pixels say what differs.
ONDREL_HEADLESS=1 "$ONDREL" < classic.in
cmp drawn.bmp classic.bmp && echo "same as classic.bmp"
# Pixel (x, y) lies at 54 + (399 - y) * 1920 + 3x, blue first.
pixel() { od -A n -t x1 -j $((54 + (399 - $2) * 1920 + 3 * $1)) -N 3 drawn.bmp | sed 's/^ //'; }
echo "spiral first side (110 127) $(pixel 110 127), beside it (111 127) $(pixel 111 127)"
echo "star first point (500 26) $(pixel 500 26), tree trunk (320 350) $(pixel 320 350)"
