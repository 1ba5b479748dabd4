# Every figure in several colours and pen widths: the snapshot must match
# shapes.bmp byte for byte, so that a change of any drawing rule shows.
ONDREL_HEADLESS=1 "$ONDREL" < shapes.in
cmp drawn.bmp shapes.bmp && echo "same as shapes.bmp"
