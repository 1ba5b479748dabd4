# Files named on the command line load in order before the prompt; a file
# that fails abandons itself and the rest, and the loop starts anyway.
printf '(display "the loop runs")\n(newline)\n(list (quote one) one)\n' > probe.in
echo "== all load"
"$ONDREL" three.sc counter-start.sc < probe.in
echo "== missing in the middle"
"$ONDREL" three.sc missing.sc counter-start.sc < probe.in
echo "== error in the middle of the second file"
printf '(list before-error loads)\n' | "$ONDREL" counter-start.sc half.sc counter.sc
echo "== malformed file"
printf 'before-bad-text\n' | "$ONDREL" malformed.sc three.sc
echo "== bye stops only the loading"
printf '(display "prompt after bye")\n' | "$ONDREL" bye.sc three.sc
echo "== switches come before the file names"
printf '(car 1)\n' | "$ONDREL" -x three.sc -J
