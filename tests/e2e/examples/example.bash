# example.bash NAME [snapshot] - run examples/NAME.sc off-screen the way a
# class would (`ondrel NAME.sc`), typing nothing at the prompt but, for a
# drawing, a snapshot; the picture must equal NAME.bmp of this folder.
name=$1
examples=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../examples" && pwd)
cp "$examples/$name.sc" .
if [ "${2:-}" = snapshot ]; then
  echo '(snapshot "drawn")' | ONDREL_HEADLESS=1 "$ONDREL" "$name.sc"
  cmp drawn.bmp "$name.bmp" && echo "same as $name.bmp"
else
  ONDREL_HEADLESS=1 "$ONDREL" "$name.sc" < /dev/null
fi
