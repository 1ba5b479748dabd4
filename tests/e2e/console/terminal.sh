# The console on a pseudo-terminal as a user meets it (terminal.py): the
# prompt, Ctrl+C at the prompt, Japanese messages and typed UTF-8, the
# transcript, a history file that cannot be written.
command -v python3 > /dev/null || { echo "needs python3" >&2; exit 77; }
ldd "$ONDREL" 2> /dev/null | grep -q libedit && export EDITING=1
python3 "$E2E_DIR/console/terminal.py" plain
