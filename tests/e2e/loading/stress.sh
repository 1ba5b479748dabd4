# The loading cases again with a collection at every allocation; they use
# no procedure of the init file, so a copy of the interpreter with an empty
# one keeps the run short.
mkdir bin
cp "$ONDREL" bin/ondrel
: > bin/include.sc
for c in load escape; do
  mkdir "stress-$c"
  cp ./*.sc "stress-$c"/
  (cd "stress-$c" && ONDREL_GC_STRESS=1 ../bin/ondrel < "$c.sc" > ../"stress-$c.txt")
  # the real init file announces itself the same way as the empty one
  "$E2E_DIR/run_e2e.sh" --strip "stress-$c.txt" | cmp -s - "$c.out" && echo "$c: same under collection stress" || echo "$c: differs"
done
