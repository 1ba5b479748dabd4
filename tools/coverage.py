#!/usr/bin/env python3
"""coverage.py BUILD_DIR SOURCE_DIR - line coverage of src/ from the gcov
data of a coverage build, the desktop window backend excepted.

Every object file's data is read with gcov's JSON output; a line counts as
covered when any object (the core library, the sandboxed copy used by the
fuzz replays) executed it.  Headers count once, merged over every object
that includes them.
"""
import gzip
import json
import os
import subprocess
import sys
import tempfile

EXCLUDED = {"src/platform/window_gtk.cpp"}


def main():
    build, source = (os.path.abspath(a) for a in sys.argv[1:3])
    src_root = os.path.join(source, "src") + os.sep
    gcdas = []
    for root, _, files in os.walk(build):
        gcdas += [os.path.join(root, f) for f in files if f.endswith(".gcda")]
    lines = {}  # relative path -> {line number: executed}
    with tempfile.TemporaryDirectory() as tmp:
        for gcda in gcdas:
            subprocess.run(["gcov", "--json-format", "-o", os.path.dirname(gcda), gcda],
                           cwd=tmp, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for name in os.listdir(tmp):
                if not name.endswith(".gcov.json.gz"):
                    continue
                path = os.path.join(tmp, name)
                with gzip.open(path, "rt") as f:
                    data = json.load(f)
                os.remove(path)
                for entry in data.get("files", []):
                    full = os.path.normpath(os.path.join(data.get("current_working_directory", ""), entry["file"]))
                    if not full.startswith(src_root):
                        continue
                    rel = os.path.relpath(full, source)
                    if rel in EXCLUDED:
                        continue
                    seen = lines.setdefault(rel, {})
                    for ln in entry["lines"]:
                        n = ln["line_number"]
                        seen[n] = seen.get(n, False) or ln["count"] > 0
    total = covered = 0
    for rel in sorted(lines):
        t = len(lines[rel])
        c = sum(1 for v in lines[rel].values() if v)
        total += t
        covered += c
        print(f"{100.0 * c / t if t else 100.0:6.1f}%  {c:5d}/{t:<5d} {rel}")
    if total == 0:
        print("no coverage data found", file=sys.stderr)
        return 1
    print(f"line coverage of src/: {100.0 * covered / total:.1f}% ({covered} of {total} lines)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
