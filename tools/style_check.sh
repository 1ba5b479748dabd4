#!/bin/bash
# style_check.sh SOURCE_DIR BUILD_DIR - clang-format and clang-tidy over
# src/.  Findings are printed and fail the check (ONDREL_STRICT_STYLE=0
# only reports them, for work in progress).  Without the tools the check
# is skipped: exit 77, which CTest reports as skipped.
set -u
src=$(readlink -f "$1")
build=$(readlink -f "$2")
format=$(command -v clang-format || command -v clang-format-14 || true)
tidy=$(command -v clang-tidy || command -v clang-tidy-14 || true)
if [ -z "$format" ] || [ -z "$tidy" ]; then
  echo "style: clang-format or clang-tidy missing, skipped"
  exit 77
fi
cd "$src"
mapfile -t files < <(find src -name '*.cpp' -o -name '*.h' | sort)
bad_format=()
for f in "${files[@]}"; do
  "$format" --style=file --dry-run -Werror "$f" >/dev/null 2>&1 || bad_format+=("$f")
done
bad_tidy=()
if [ -e "$build/compile_commands.json" ]; then
  # One clang-tidy per source file, as many at a time as there are cores;
  # each writes its findings beside the others, read back in file order.
  findings=$(mktemp -d)
  trap 'rm -rf "$findings"' EXIT
  printf '%s\n' "${files[@]}" | grep '\.cpp$' |
    xargs -P "$(nproc)" -I{} sh -c '"$1" -p "$2" --quiet "$3" 2>/dev/null | grep -E "(warning|error):" > "$4/$(echo "$3" | tr / _)" || true' \
      sh "$tidy" "$build" {} "$findings"
  for f in "${files[@]}"; do
    [[ $f == *.cpp ]] || continue
    out="$findings/$(echo "$f" | tr / _)"
    if [ -s "$out" ]; then
      bad_tidy+=("$f")
      cat "$out"
    fi
  done
else
  echo "style: no compile_commands.json in $build, clang-tidy skipped"
fi
for f in "${bad_format[@]}"; do echo "style: not formatted: $f (clang-format -i $f)"; done
for f in "${bad_tidy[@]}"; do echo "style: clang-tidy findings: $f"; done
echo "style: ${#bad_format[@]} files to format, ${#bad_tidy[@]} files with clang-tidy findings"
if [ "${ONDREL_STRICT_STYLE:-1}" = 1 ] && [ $((${#bad_format[@]} + ${#bad_tidy[@]})) -gt 0 ]; then
  exit 1
fi
exit 0
