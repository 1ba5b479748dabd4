# A load closes its file however it ends, and an open refused for want of a
# free port closes the file it opened: with at most 32 files open at once,
# loads that end in an error, in the middle of a datum or on a file that
# cannot be read, and forty refused opens leave room for more.
ulimit -n 32
printf '(car 1)\n' > bad.sc
printf '(define torn (list 1\n' > torn.sc
printf "(define loaded 'yes)\n" > ok.sc
{
  for _ in $(seq 40); do printf '(load "bad.sc")\n(load "torn.sc")\n(load ".")\n'; done
  printf '(define (open-n n) (if (> n 0) (cons (open-input-file "ok.sc") (open-n (- n 1))) (quote ())))\n'
  printf '(define ins (open-n 19))\n'
  for _ in $(seq 40); do printf '(open-input-file "ok.sc")\n'; done
  printf '(for-each close-input-port ins)\n(load "ok.sc")\nloaded\n(input-port? (open-input-file "ok.sc"))\n'
} | "$ONDREL" > out.txt
grep -c "^Error : " out.txt
tail -n 4 out.txt
