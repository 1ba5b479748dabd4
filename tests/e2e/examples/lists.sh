# examples/lists.sc runs to its end without an error.
. "$(dirname "$0")/example.bash" lists
