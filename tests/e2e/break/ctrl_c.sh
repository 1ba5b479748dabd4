# Ctrl+C stops a running loop, equal? on two circular lists and the list
# primitives walking a circular list for ever, with "User break" and the
# prompt comes back; it also answers a read waiting at the console.  The form after "At" depends on where the break lands, so those
# lines are left out.
mkfifo in
"$ONDREL" < in > out 2> err &
pid=$!
exec 3> in
wait_for() {  # wait_for TEXT: until the output holds TEXT, at most 10 s
  for _ in $(seq 100); do grep -q "$1" out && return 0; sleep 0.1; done
  return 1
}
echo "(define (spin n) (spin (+ n 1)))" >&3
echo "'ready" >&3
wait_for ready
echo "(spin 0)" >&3
sleep 0.5
kill -INT $pid
wait_for "User break"
echo "'after-first" >&3
wait_for after-first
echo "(let ((a (list 1)) (b (list 1))) (set-cdr! a a) (set-cdr! b b) (equal? a b))" >&3
sleep 0.5
kill -INT $pid
wait_for "User break.*" 
sleep 0.3
echo "'after-second" >&3
wait_for after-second
echo "(define c (list 'a 'b))" >&3
echo "(set-cdr! (cdr c) c)" >&3
n=0
for call in "(length c)" "(last-pair c)" "(member 'z c)" "(list-tail c -1)"; do
  n=$((n + 1))
  echo "$call" >&3
  sleep 0.5
  kill -INT $pid
  echo "'after-$n" >&3
  wait_for "after-$n"
done
kill -INT $pid
sleep 0.3
echo "'after-read" >&3
exec 3>&-
wait $pid
echo "exit status $?"
grep -v '^At ' out
