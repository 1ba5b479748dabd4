# Every example of docs/reference.md written `expr` => `value` prints that
# value when it is typed at the prompt, in the order of the document.
ref=$(dirname "$0")/../../../docs/reference.md
python3 - "$ref" > examples <<'PY'
import re, sys
code = r'(?:``\s((?:(?!``).)+?)\s``|`([^`]+)`)'
for line in open(sys.argv[1], encoding='utf-8'):
    for m in re.finditer(code + r' ⇒ `([^`]+)`', line):
        print((m.group(1) or m.group(2)) + '\t' + m.group(3))
PY
cut -f1 examples > typed
cut -f2 examples > shown
ONDREL_HEADLESS=1 "$ONDREL" < typed 2>&1 | sed '1,/^Init File Loading/d' | sed '$d' | sed '$d' > answered
if cmp -s shown answered; then
  echo "$(wc -l < typed) examples give the values shown"
else
  diff <(paste typed shown) <(paste typed answered)
fi
