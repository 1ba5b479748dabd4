# The snapshot files: names, sizes, every header field, a few pixels.
export LC_ALL=C
mkdir out && cd out
ONDREL_HEADLESS=1 "$ONDREL" < ../snapshot.in
# A name that does not fit its buffer once ".bmp" is appended, and one
# that just fits.
long=$(printf 'n%.0s' $(seq 240))
printf '(open)\n(snapshot "%s")\n(snapshot "%s")\n' "$long" "${long%n}" | ONDREL_HEADLESS=1 "$ONDREL" |
  grep -c -e "^Can't open ${long}.bmp$" -e "^${long%n}.bmp saved$"
for f in *.bmp; do echo "$f $(stat -c %s "$f")"; done | sort
cmp SS.bmp pic.bmp && cmp SS.bmp str.bmp && echo "same pictures"
field() { od -A n -t "$1" -j "$2" -N "$3" SS.bmp | tr -s ' ' | sed 's/^ //'; }
echo "signature $(od -A n -c -N 2 SS.bmp | tr -d ' ')"
echo "file size $(field u4 2 4), reserved $(field u2 6 4), offset $(field u4 10 4)"
echo "header $(field u4 14 4), width $(field d4 18 4), height $(field d4 22 4)"
echo "planes $(field u2 26 2), bits $(field u2 28 2), compression $(field u4 30 4), image size $(field u4 34 4)"
echo "resolution, colours $(field u4 38 16)"
# Pixel (x, y) lies at 54 + (399 - y) * 1920 + 3x, blue first.
pixel() { od -A n -t x1 -j $((54 + (399 - $2) * 1920 + 3 * $1)) -N 3 SS.bmp | sed 's/^ //'; }
echo "(0 399) $(pixel 0 399)  (0 0) $(pixel 0 0)  (9 9) $(pixel 9 9)  (10 10) $(pixel 10 10)"
echo "(639 0) $(pixel 639 0)  (600 300) $(pixel 600 300)"
