# Started with standard output, error or input closed, the program's own
# files do not take their place: the console's text and the diagnostics do
# not land in a file the program writes, and the console does not read a
# file the program loads (it sees the end of input, as from /dev/null).
export LC_ALL=C
echo '(define p (open-output-file "o.txt")) (write "file-text" p) (close-output-port p)' | "$ONDREL" >&-
cat o.txt
echo
# Without a display, opening the window says so on standard error.
echo '(define p (open-output-file "e.txt")) (open) (write "x" p) (close-output-port p)' |
  env -u DISPLAY -u WAYLAND_DISPLAY -u ONDREL_HEADLESS "$ONDREL" > /dev/null 2>&-
cat e.txt
echo
# Read from the console while a long file is being loaded: a loaded file
# that became standard input would hand over its rest ('planted).
{
  echo '(display (read))'
  printf ';%5000s\n' ''
  echo "'planted"
} > prog.sc
"$ONDREL" prog.sc 0<&- | tail -n 2
