# Calls through files with a collection at every allocation.  A copy of the
# interpreter with an empty init file keeps the run short.
mkdir bin
cp "$ONDREL" bin/ondrel
: > bin/include.sc
ONDREL_GC_STRESS=1 bin/ondrel < stress.in
