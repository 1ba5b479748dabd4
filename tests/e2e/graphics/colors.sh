# Pixels of the saved pictures after each change of colour.
ONDREL_HEADLESS=1 "$ONDREL" < colors.in > /dev/null
# Pixel (x, y) of FILE as blue, green, red bytes.
pixel() { od -A n -t x1 -j $((54 + (399 - $3) * 1920 + 3 * $2)) -N 3 "$1" | sed 's/^ //'; }
echo "a: (5 5) $(pixel a.bmp 5 5)  (6 6) $(pixel a.bmp 6 6)"
echo "b: (5 5) $(pixel b.bmp 5 5)  (6 6) $(pixel b.bmp 6 6)"
cmp -s b.bmp c.bmp && echo "c: the same as b"
echo "d: (5 5) $(pixel d.bmp 5 5)  (8 8) $(pixel d.bmp 8 8)  (9 9) $(pixel d.bmp 9 9)  (600 10) $(pixel d.bmp 600 10)"
echo "e: (150 98) $(pixel e.bmp 150 98)  (150 99) $(pixel e.bmp 150 99)  (150 101) $(pixel e.bmp 150 101)  (150 102) $(pixel e.bmp 150 102)"
