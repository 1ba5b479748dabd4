# examples/tree.sc draws to its end without an error; its picture is tree.bmp.
. "$(dirname "$0")/example.bash" tree snapshot
