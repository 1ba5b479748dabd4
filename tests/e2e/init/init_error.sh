# An error inside the init file ends the program after its report.
mkdir -p bin
cp "$ONDREL" bin/ondrel
printf '(define a 1)\n(car a)\n(define b 2)\n' > bin/include.sc
echo "'never-read" | bin/ondrel
echo "exit status $?"
printf '(define a 1)\n(car\n' > bin/include.sc
echo "'never-read" | bin/ondrel
