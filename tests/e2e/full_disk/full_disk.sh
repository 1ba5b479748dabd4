# On a full disk nothing already there is lost: a snapshot that fails
# leaves the old file as it was and no broken picture, a history file
# that cannot be saved stays as it was, and a port's writes fail with
# "File not available".  The disk is a small tmpfs, so the case needs
# root; the history needs `script` for a terminal and the line editor.
export LC_ALL=C
why=
[ "$(id -u)" = 0 ] || why="not root: no tmpfs can be mounted"
command -v script > /dev/null || why="no script(1) to give the program a terminal"
ldd "$ONDREL" | grep -q libedit || why="built without the line editor: no history file"
if [ -z "$why" ]; then
  mkdir disk && mount -t tmpfs -o size=256k tmpfs disk 2> /dev/null || why="tmpfs cannot be mounted here"
fi
if [ -n "$why" ]; then
  echo "$why" >&2
  exit 77
fi
trap 'umount disk' EXIT
trap 'exit 1' INT TERM
echo "precious" > disk/old.bmp
{
  echo "_HiStOrY_V2_"
  for i in $(seq 1000 1330); do echo "'entry-$i"; done
} > disk/.ondrel_history
cp disk/.ondrel_history history.before
head -c 1M /dev/zero > disk/fill 2> /dev/null
ONDREL_HEADLESS=1 "$ONDREL" << 'END' | tail -n +5
(open)
(snapshot "disk/old")
(snapshot "disk/new")
(define p (open-output-file "disk/port.txt"))
(define (fill n) (if (> n 0) (begin (write-char #\a p) (fill (- n 1)))))
(fill 20000)
(close-output-port p)
'end
END
[ "$(cat disk/old.bmp)" = precious ] && echo "old.bmp kept"
printf "'%0200d\n(bye)\n" 0 > typed
HOME=$PWD/disk TERM=xterm script -qec "$ONDREL" /dev/null < typed > /dev/null
echo "script exit status $?"
cmp -s disk/.ondrel_history history.before && echo "history kept"
ls -A disk
