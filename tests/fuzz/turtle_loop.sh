# The interpreter's fuzz target, as the test suite builds it (replaying
# stored inputs through the same entry), ends a program that loops forever
# through the turtle's animation within the input's time limit: the
# animation sleeps more than it evaluates, so the dispatch budget alone
# let it run past the fuzzer's 10-second timeout, which ended the whole
# fuzzing run.
replay=$(dirname "$ONDREL")/fuzz/fuzz_interp
if [ ! -x "$replay" ]; then
  echo "no fuzz replay program beside $ONDREL" >&2
  exit 77
fi
mkdir inputs
printf '(define (spin) (forward 50) (right 90) (spin))\n(spin)\n' > inputs/turtle-loop
timeout 10 "$replay" inputs 2> replay.err
echo "exit status $?"
tail -n 1 replay.err
