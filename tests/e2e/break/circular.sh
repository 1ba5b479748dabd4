# Ctrl+C stops a list primitive walking a circular list for ever, and the
# prompt comes back.  The form after "At" depends on where the break lands,
# so those lines are left out.
mkfifo in
"$ONDREL" < in > out 2> err &
pid=$!
exec 3> in
wait_for() {  # wait_for TEXT: until the output holds TEXT, at most 10 s
  for _ in $(seq 100); do grep -q "$1" out && return 0; sleep 0.1; done
  return 1
}
echo "(define c (list 'a 'b))" >&3
echo "(set-cdr! (cdr c) c)" >&3
echo "'ready" >&3
wait_for ready
n=0
for call in "(length c)" "(last-pair c)" "(member 'z c)" "(list-tail c -1)"; do
  n=$((n + 1))
  echo "$call" >&3
  sleep 0.5
  kill -INT $pid
  echo "'after-$n" >&3
  wait_for "after-$n"
done
exec 3>&-
wait $pid
echo "exit status $?"
grep -v '^At ' out
