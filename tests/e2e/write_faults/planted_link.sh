# A snapshot never writes through a symbolic link planted under its name:
# the link is replaced by the new picture and its target keeps its text.
export LC_ALL=C
echo "victim" > victim.txt
ln -s victim.txt SS.bmp
printf '(open)\n(snapshot)\n' | ONDREL_HEADLESS=1 "$ONDREL" | grep saved
[ "$(cat victim.txt)" = victim ] && echo "victim.txt kept"
[ -L SS.bmp ] || echo "SS.bmp is a file of $(stat -c %s SS.bmp) bytes"
