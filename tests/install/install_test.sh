#!/bin/bash
# install_test.sh install|package SOURCE_DIR BUILD_DIR
#
# install: install the build into a DESTDIR under /usr/local, start the
#   installed program from an empty directory with HOME elsewhere and no
#   ROZIVEVUDE (the init file and the cursor files must be found in the
#   data directory), and render the manual page with man's warnings on.
# package: build the Debian package with CPack and check its files, its
#   dependencies and the program it installs.
# Both use the build's own install script, with the install manifest it
# writes moved into the test's temporary directory.  A missing tool makes
# the test report itself skipped (exit 77).
set -u
mode=$1
src=$(readlink -f "$2")
build=$(readlink -f "$3")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}
skip() {
  echo "SKIPPED: $*"
  exit 77
}
quoted=$(printf '%s' "$build" | sed 's/[][\.*^$|]/\\&/g')
sed "s|file(WRITE \"$quoted/|file(WRITE \"$tmp/|" "$build/cmake_install.cmake" > "$tmp/install.cmake"
grep -q "file(WRITE \"$tmp/" "$tmp/install.cmake" || fail "the install script writes no manifest where expected"
mkdir "$tmp/empty" "$tmp/home"

# run PREFIX INPUT: the installed program of PREFIX, from an empty
# directory, with nothing of the caller's that could lead it to its files.
run() {
  (cd "$tmp/empty" && printf '%s\n' "$2" |
    env -u ROZIVEVUDE HOME="$tmp/home" ONDREL_HEADLESS=1 "$1/bin/ondrel" 2> /dev/null)
}
# The init file defines list-copy; flower.dat and arrow.dat are cursors.
session='(procedure? (quote list-copy)) (cursor "flower.dat") (change-cursor2)'
answer=$'Ondrel Version 4.2.w (for Windows) \n An interactive Scheme for learning, on Linux.
Initialize ... Done !\nInit File Loading. \n#t\n()\n()\n\nBye.'

if [ "$mode" = install ]; then
  command -v man > /dev/null || skip "man is missing: the manual page cannot be checked"
  root=$tmp/root
  DESTDIR=$root cmake -DCMAKE_INSTALL_PREFIX=/usr/local -P "$tmp/install.cmake" > /dev/null || fail "install"
  prefix=$root/usr/local
  for f in bin/ondrel share/ondrel/include.sc share/ondrel/flower.dat share/ondrel/arrow.dat \
    share/doc/ondrel/README.md share/doc/ondrel/docs/reference.md share/doc/ondrel/docs/tour-tree.png \
    share/doc/ondrel/examples/tree.sc share/man/man1/ondrel.1; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
  done
  got=$(run "$prefix" "$session")
  [ "$got" = "$answer" ] || fail "the installed program answered:"$'\n'"$got"
  echo "the installed program finds its init file and cursors"
  page=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/ondrel.1" 2> "$tmp/warnings")
  [ -s "$tmp/warnings" ] && fail "man warns:"$'\n'"$(cat "$tmp/warnings")"
  grep -q "ROZIVEVUDE" <<< "$page" || fail "the manual page renders empty"
  echo "the manual page renders without warnings"
  exit 0
fi

for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v $tool > /dev/null || skip "$tool is missing: no package is built"
done
# CPack runs the install script with DESTDIR set to its staging directory;
# the prefix is the package's.
{
  echo 'set(CMAKE_INSTALL_PREFIX "${CPACK_PACKAGING_INSTALL_PREFIX}")'
  echo "include(\"$tmp/install.cmake\")"
} > "$tmp/stage.cmake"
cp "$build/CPackConfig.cmake" "$tmp/"
{
  echo 'set(CPACK_INSTALL_CMAKE_PROJECTS "")'
  echo "set(CPACK_INSTALL_SCRIPTS \"$tmp/stage.cmake\")"
} >> "$tmp/CPackConfig.cmake"
cpack --config "$tmp/CPackConfig.cmake" -G DEB -B "$tmp/pkg" > "$tmp/cpack.log" 2>&1 || fail "cpack: $(cat "$tmp/cpack.log")"
deb=$(ls "$tmp"/pkg/ondrel_*.deb) || fail "no package"

info=$(dpkg-deb --info "$deb")
grep -q '^ Package: ondrel$' <<< "$info" || fail "package name: $info"
depends=$(grep '^ Depends:' <<< "$info") || fail "no dependencies: $info"
# Each library the program links is a dependency, found by dpkg-shlibdeps.
needed=(libc6 libstdc++6)
module=()
[ -e "$build/ondrel-desktop.so" ] && module=("$build/ondrel-desktop.so")
ldd "$build/ondrel" "${module[@]}" | grep -q 'libgtk-3\.so' && needed+=(libgtk-3-0)
ldd "$build/ondrel" | grep -q 'libedit\.so' && needed+=(libedit2)
names=$(tr ',|' '\n\n' <<< "${depends#*:}" | awk '{ print $1 }')
for p in "${needed[@]}"; do
  grep -qxF "$p" <<< "$names" || fail "$p missing from$depends"
done
echo "the package depends on ${needed[*]}"

want=$(
  {
    printf '%s\n' usr/bin/ondrel usr/share/man/man1/ondrel.1 usr/share/doc/ondrel/README.md \
      usr/share/doc/ondrel/docs/reference.md usr/share/doc/ondrel/docs/tour-tree.png
    [ ${#module[@]} = 0 ] || echo usr/lib/ondrel/ondrel-desktop.so
    for f in "$src"/lib/*; do echo "usr/share/ondrel/${f##*/}"; done
    for f in "$src"/examples/*; do echo "usr/share/doc/ondrel/examples/${f##*/}"; done
  } | sort
)
got=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort)
[ "$got" = "$want" ] || fail "package files:"$'\n'"$(diff <(echo "$want") <(echo "$got"))"
echo "the package holds the program, its data, the documents and the manual page"

dpkg-deb -x "$deb" "$tmp/unpacked" || fail "unpack"
got=$(run "$tmp/unpacked/usr" "$session")
[ "$got" = "$answer" ] || fail "the packaged program answered:"$'\n'"$got"
echo "the packaged program finds its init file and cursors"
