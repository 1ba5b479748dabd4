# The cursor files shipped beside the program, missing and malformed cursor
# files, and the built-in turtle again.  Each snapshot shows the block of
# the drawing area around the turtle, X for black, . for white.
export LC_ALL=C
lib=$(dirname "$ONDREL")
cp "$lib/flower.dat" "$lib/arrow.dat" .
printf 'BMP2\025\037' > bad-sign.dat
printf 'BMP1\063\020\377' > wide.dat
printf 'BMP1\020\000\377\377' > flat.dat
: > empty.dat
{ printf 'BMP1\062\062'; head -c 400 /dev/zero | tr '\0' '\377'; } > big.dat
ONDREL_HEADLESS=1 "$ONDREL" < cursor.in
# block FILE X Y W H: the pixels of a rectangle of the snapshot FILE.
block() {
  python3 - "$@" <<'PY'
import sys
name, x0, y0, w, h = sys.argv[1], *map(int, sys.argv[2:])
data = open(name, 'rb').read()
for y in range(y0, y0 + h):
    row = ''
    for x in range(x0, x0 + w):
        at = 54 + (399 - y) * 1920 + 3 * x
        row += '.' if data[at:at + 3] == b'\xff\xff\xff' else 'X' if data[at:at + 3] == b'\0\0\0' else '?'
    print(row)
PY
}
for f in flower flower-moved arrow gone turtle flower2 arrow2 turtle-north big; do
  echo "$f.bmp $(stat -c %s "$f.bmp")"
done
# The flower (21 x 31) centred on home: its top-left corner is (310, 185).
echo "flower at home"; block flower.bmp 309 184 23 33
# Turned right and moved: the same picture, not turned, with the line
# drawn under it from home.
echo "flower moved"; block flower-moved.bmp 409 184 23 33
cmp -s <(block flower.bmp 310 185 21 31) <(block flower-moved.bmp 410 185 21 31) && echo "flower not turned"
echo "arrow (15 x 17)"; block arrow.bmp 412 191 17 19
echo "no cursor after the failures"; block gone.bmp 409 184 23 33
echo "turtle facing east"; block turtle.bmp 409 189 23 23
cmp -s flower-moved.bmp flower2.bmp && echo "change-cursor same as flower.dat"
cmp -s arrow.bmp arrow2.bmp && echo "change-cursor2 same as arrow.dat"
echo "turtle facing north"; block turtle-north.bmp 412 190 17 21
echo "the largest cursor (50 x 50), its last row and the row below"; block big.bmp 394 224 52 2
