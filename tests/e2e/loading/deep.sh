# A file that loads itself ends in the stack error; every stream it opened
# is closed again and the prompt comes back.
cat > deep.in <<'IN'
(exec-shell-command "ls /proc/$PPID/fd | wc -l > before.txt")
(load "self.sc")
(exec-shell-command "ls /proc/$PPID/fd | wc -l > after.txt")
(list 'prompt 'back)
IN
"$ONDREL" < deep.in > out.txt
grep -c '^; Loading. "self.sc"$' out.txt | awk '{ print ($1 > 100 ? "more than 100 loads" : "too few loads: " $1) }'
grep -v '^; Loading' out.txt
cmp -s before.txt after.txt && echo "no stream left open"
