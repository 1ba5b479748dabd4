# A cursor file that does not open in the current directory is looked for
# beside the program, then in the data directory share/ondrel/ beside the
# program's bin/; a name with a "/" is taken as given, and a file that
# opens here is the one used even when it is no cursor.
lib=$(dirname "$ONDREL")
mkdir -p prefix/bin prefix/share/ondrel here
cp "$ONDREL" prefix/bin/ondrel
cp "$lib/flower.dat" prefix/bin/
cp "$lib/arrow.dat" prefix/share/ondrel/
cp "$lib/include.sc" here/
cd here
# shot NAME PICTURE: choose the cursor NAME and save the drawing area.
shot() {
  echo "(cursor \"$1\") (snapshot \"$2\")" | ONDREL_HEADLESS=1 ../prefix/bin/ondrel | grep "cursor"
}
shot ../prefix/bin/flower.dat flower-by-path
shot ../prefix/share/ondrel/arrow.dat arrow-by-path
shot flower.dat flower
cmp -s flower.bmp flower-by-path.bmp && echo "flower.dat found beside the program"
shot arrow.dat arrow
cmp -s arrow.bmp arrow-by-path.bmp && echo "arrow.dat found in the data directory"
shot ./arrow.dat none
: > flower.dat
shot flower.dat none
