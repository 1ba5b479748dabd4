# A shell command's output follows what was printed before it, also when
# standard output is a pipe, and is not copied to the transcript.
printf '(transcript-on "t.txt")\n(begin (display "first ") (exec-shell-command "echo second") (display "third"))\n(transcript-off)\n' | "$ONDREL" | cat
echo "--- transcript"
cat t.txt
