# Under a file-size limit (10 KiB) every write past it fails the port's
# primitive or the command with "File not available", or the snapshot
# with "Can't open", and the session goes on; nothing kills the process.
export LC_ALL=C
fill=$(printf ';%.0s' $(seq 64))
{
  echo '(define (fill p c n) (if (> n 0) (begin (write-char c p) (fill p c (- n 1)))))'
  echo '(define p (open-output-file "port.txt"))'
  echo '(fill p #\a 20000)'
  echo '(close-output-port p)'
  echo '(call-with-output-file "call.txt" (lambda (q) (fill q #\b 20000)))'
  echo '(with-output-to-file "with.txt" (lambda () (fill (current-output-port) #\c 20000)))'
  # The transcript copies what is typed: these comment lines fill it.
  echo '(transcript-on "transcript.txt")'
  for _ in $(seq 200); do echo "$fill"; done
  echo "'transcript-stopped"
  echo '(transcript-off)'
  echo '(open)'
  echo '(boxf 0 0 50 50)'
  echo '(snapshot "old.bmp")'
  echo "'end"
} > prog.in
echo "(open) (snapshot \"old.bmp\")" | ONDREL_HEADLESS=1 "$ONDREL" > /dev/null
cp old.bmp before.bmp
(ulimit -f 10 && ONDREL_HEADLESS=1 exec "$ONDREL" < prog.in) | cat
echo "exit status ${PIPESTATUS[0]}"
for f in port call with transcript; do
  [ "$(stat -c %s $f.txt)" -le 10240 ] && echo "$f.txt within the limit"
done
cmp -s old.bmp before.bmp && echo "old.bmp kept"
ls -A | grep -q "\.tmp$" || echo "no temporary file left"
