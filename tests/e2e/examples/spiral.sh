# examples/spiral.sc draws to its end without an error; its picture is spiral.bmp.
. "$(dirname "$0")/example.bash" spiral snapshot
