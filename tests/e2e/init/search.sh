# The init file is looked for in the current directory, then beside the
# program, then in $ROZIVEVUDE, then in the data directory share/ondrel/
# beside the program's bin/; the first that opens is loaded.
mkdir -p bin lib empty share/ondrel
cp "$ONDREL" bin/ondrel
echo "(define where 'home)" > bin/include.sc
echo "(define where 'env)" > lib/include.sc
echo "(define where 'cwd)" > include.sc
echo "(define where 'data)" > share/ondrel/include.sc
echo where | bin/ondrel
rm include.sc
echo where | bin/ondrel
rm bin/include.sc
echo where | ROZIVEVUDE="$PWD/lib" bin/ondrel
echo where | ROZIVEVUDE="$PWD/lib/" bin/ondrel
echo where | ROZIVEVUDE="$PWD/empty" bin/ondrel
rm share/ondrel/include.sc
echo where | ROZIVEVUDE="$PWD/empty" bin/ondrel
echo "exit status $?"
