# examples/star.sc draws to its end without an error; its picture is star.bmp.
. "$(dirname "$0")/example.bash" star snapshot
