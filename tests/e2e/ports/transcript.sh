# The transcript records the console dialogue: console input once, results,
# reports and port output; never the console messages, the loaded file's
# text or a shell command's output.  End of input is recorded as byte 0xFF.
printf '(define lib-value (quote from-lib))\n' > lib.sc
"$ONDREL" < transcript.in
for f in t.txt o.txt a.txt b.txt eof.txt; do
  echo "--- $f"
  cat -v "$f"
  echo "[end]"
done
