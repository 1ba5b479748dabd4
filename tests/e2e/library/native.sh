# The procedures of the teaching library that are primitives give the
# results and error reports of the Scheme definitions they replace: the
# inputs of native_cases.sc run once with the primitives and once with
# scheme_definitions.sc loaded over them, and each section's output is
# compared.  Loading those definitions warns once per replaced primitive,
# which shows they were in force.
"$ONDREL" < native_cases.sc > native.txt 2>&1
# The reference run needs no collector stress (ONDREL_GC_STRESS), only the
# primitives do.
env -u ONDREL_GC_STRESS "$ONDREL" scheme_definitions.sc < native_cases.sc > scheme.txt 2>&1
echo "replaced: $(grep -c '^; Warning : Primitive Procedure Changed !$' scheme.txt)"
# split OUTPUT DIR: one file per section, named by its number.
split() {
  mkdir "$2"
  grep -v -e '^; Loading\. ' -e '^; Warning : Primitive Procedure Changed !$' "$1" |
    awk -v d="$2" '/^"[^"]*"$/ { n++ } { print > (d "/" n + 0) }'
}
split native.txt n
split scheme.txt s
n=0
grep '^"' native_cases.sc | while read -r heading; do
  n=$((n + 1))
  if [ ! -s "n/$n" ] || [ "$(head -1 "n/$n")" != "$heading" ]; then
    echo "$heading: missing"
  elif cmp -s "n/$n" "s/$n"; then
    echo "$heading: same, $(grep -c '^Error : ' "n/$n") errors"
  else
    echo "$heading: differs"
    diff "s/$n" "n/$n" | head -20
  fi
done
