# The snapshot of a fixed drawing must match drawing.bmp byte for byte, so
# that a change in the move arithmetic or the cursor shows; a few pixels
# are read back to say what differs.
ONDREL_HEADLESS=1 "$ONDREL" < drawing.in
cmp drawn.bmp drawing.bmp && echo "same as drawing.bmp"
# Pixel (x, y) lies at 54 + (399 - y) * 1920 + 3x, blue first.
pixel() { od -A n -t x1 -j $((54 + (399 - $2) * 1920 + 3 * $1)) -N 3 drawn.bmp | sed 's/^ //'; }
echo "square sides (110 180) $(pixel 110 180), (230 180) $(pixel 230 180), (150 260) $(pixel 150 260), inside (150 180) $(pixel 150 180)"
echo "star start (450 279) $(pixel 450 279), grid (20 10) $(pixel 20 10), (21 10) $(pixel 21 10)"
echo "turtle head (160 182) $(pixel 160 182), beside it (159 182) $(pixel 159 182)"
