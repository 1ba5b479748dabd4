# The line editor on a pseudo-terminal (../console/terminal.py): editing
# keys, a resize while editing, history across runs and its limit.
command -v python3 > /dev/null || { echo "needs python3" >&2; exit 77; }
ldd "$ONDREL" 2> /dev/null | grep -q libedit || { echo "built without the line editor" >&2; exit 77; }
EDITING=1 python3 "$E2E_DIR/console/terminal.py" editing
