"""Where the bytes of a program built for the browser go, from wasm-ld's link map.

    python3 bench/web/wasm_weight.py MAP [TOP]

MAP is the map that wasm-ld writes with -Wl,--Map=FILE. Prints the code and the data of the
program by library (Qt's modules, their bundled libraries, the platform plugin, the C and C++
runtimes, the program's own), then the TOP (default 40) heaviest object files. The sizes are
those of the linker's output, before binaryen's optimisations and before compression: they
tell shares, not the final bytes.
"""

import collections
import os
import re
import sys

LINE = re.compile(r"^\s*(?:[0-9a-f]+|-)\s+[0-9a-f]+\s+([0-9a-f]+) (.*)$")


def library(path):
    """A name for the library an input comes from: lib/libQt6Core.a -> Qt6Core, and so on."""
    archive = re.match(r"(.*?)\(([^)]*)\)$", path)
    if archive:
        return re.sub(r"^lib|\.a$", "", os.path.basename(archive.group(1)))
    if "/rcc/" in path or "qrc_" in path:
        return "resources: " + re.sub(r"^qrc_|(_init)?\.cpp\.o$", "", os.path.basename(path))
    return os.path.basename(path)


def main():
    path = sys.argv[1]
    top = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    section = None
    by_library = collections.defaultdict(lambda: collections.Counter())
    by_object = collections.Counter()
    for line in open(path, encoding="utf-8", errors="replace"):
        match = LINE.match(line)
        if not match:
            continue
        size, rest = int(match.group(1), 16), match.group(2)
        indent = len(rest) - len(rest.lstrip(" "))
        rest = rest.strip()
        if indent == 0:  # an output section: CODE, DATA, .rodata, ...
            section = {"CODE": "code", "DATA": "data", ".rodata": "data", ".data": "data"}.get(rest)
            continue
        if section is None or indent > 8 or ":(" not in rest:
            continue
        source = rest.split(":(")[0]
        by_library[library(source)][section] += size
        member = re.search(r"\(([^)]*)\)$", source)
        by_object[(library(source), member.group(1) if member else os.path.basename(source))] += size
    total = collections.Counter()
    for counts in by_library.values():
        total.update(counts)
    print(f"{'library':40s} {'code':>10s} {'data':>10s} {'share':>6s}")
    everything = sum(total.values())
    for name, counts in sorted(by_library.items(), key=lambda i: -sum(i[1].values())):
        weight = sum(counts.values())
        if weight * 1000 < everything:
            continue
        print(f"{name:40s} {counts['code']:10d} {counts['data']:10d} {100 * weight / everything:5.1f}%")
    print(f"{'all':40s} {total['code']:10d} {total['data']:10d}")
    print(f"\nthe {top} heaviest object files:")
    for (name, member), size in by_object.most_common(top):
        print(f"  {size:9d}  {name}: {member}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
