# The session of the first lesson in README.md: what follows each "S> " is
# typed, the other lines are Ondrel's answers.  Piped in, the answers come
# without prompts and must be exactly the lines shown there.
readme=$(dirname "$0")/../../../README.md
awk '/^## A first lesson/ { on = 1 }
     on && /^    S> / { block = 1 }
     block && !/^    / && !/^$/ { exit }
     block' "$readme" > session
grep '^    S> ' session | sed 's/^    S> //' > typed
grep -v '^    S> ' session | sed 's/^    //' | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' > shown
echo "$(wc -l < typed) lines typed"
ONDREL_HEADLESS=1 "$ONDREL" < typed | sed '1,/^Init File Loading/d' | sed '$d' | sed '$d' > answered
if cmp -s shown answered; then echo "the answers are the ones shown"; else diff shown answered; fi
