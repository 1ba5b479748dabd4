# examples/koch.sc draws to its end without an error; its picture is koch.bmp.
. "$(dirname "$0")/example.bash" koch snapshot
