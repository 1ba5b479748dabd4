#!/bin/sh
# sjis.sh TEXT - print TEXT converted to Shift-JIS (CP932) as a C string literal.
printf '%s' "$1" | iconv -f UTF-8 -t CP932 | od -An -v -tx1 | tr -s ' \n' ' ' |
  sed 's/^ //; s/ $//; s/ /\\x/g; s/^/"\\x/; s/$/"/'
echo
