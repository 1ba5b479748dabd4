# --help and --version wherever they stand among the switches before the
# first file name: the answer alone, before the banner, and exit status 0;
# the first of the two given is the one answered.  After a file name they
# are file names like any other argument.
bin=$(dirname "$ONDREL")
"$ONDREL" --help < /dev/null | sed "s|$bin/|BIN/|; s|${bin%/*}/share/ondrel/|PREFIX/share/ondrel/|"
echo "exit ${PIPESTATUS[0]}"
"$ONDREL" --version < /dev/null; echo "exit $?"
"$ONDREL" -x -J --version -j --help < /dev/null; echo "exit $?"
"$ONDREL" -J -x --help --version < /dev/null | head -1
echo '(display "prog.sc loaded")' > prog.sc
echo '(display "a file named --help loaded")' > --help
"$ONDREL" prog.sc --help < /dev/null; echo "exit $?"
"$ONDREL" -x --helpme -J- prog.sc < /dev/null; echo "exit $?"
