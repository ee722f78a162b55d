#!/usr/bin/env python3
"""Checks the layering of the source tree against the order written in docs/ARCHITECTURE.md.

The order is the fenced block marked `layers` there: one layer a line, bottom first; folders on
one line are peers. A file may include from its own folder and from folders of lower layers,
never from a peer or a higher one. Each library of src/CMakeLists.txt (orv_library(target folder
deps...)) must link exactly the libraries of the folders its files include. Folders named
nowhere in the order are an error too, so a new folder is placed before it is used.

Usage: check_layers.py ROOT   (exit 0 when sound; each fault on its own line otherwise)
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def read_order(root):
    text = (root / "docs" / "ARCHITECTURE.md").read_text(encoding="utf-8")
    block = re.search(r"```layers\n(.*?)```", text, re.S)
    if not block:
        sys.exit("docs/ARCHITECTURE.md has no ```layers block")
    rank = {}
    for level, line in enumerate(l for l in block.group(1).splitlines() if l.strip()):
        for folder in line.split():
            rank[folder] = level
    return rank


def folder_of(path, src):
    """The layer folder of a file under src: 'monitor', 'monitor/ui', ... (a subfolder is its own)."""
    parts = path.relative_to(src).parts[:-1]
    if len(parts) >= 2:
        return parts[0] + "/" + parts[1]
    return parts[0] if parts else ""


def included_folder(include):
    parts = include.split("/")
    if len(parts) < 2:
        return None
    return parts[0] + "/" + parts[1] if len(parts) >= 3 else parts[0]


def libraries(root):
    """folder -> (target, set of orv_* dependencies) from src/CMakeLists.txt."""
    text = (root / "src" / "CMakeLists.txt").read_text(encoding="utf-8")
    text = re.sub(r"#.*", "", text)
    libs = {}
    for m in re.finditer(r"orv_library\(\s*([^\s)]+)\s+([^\s)]+)([^)]*)\)", text):
        deps = {d for d in m.group(3).split() if d.startswith("orv_")}
        libs[m.group(2)] = (m.group(1), deps)
    return libs


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    src = root / "src"
    rank = read_order(root)
    libs = libraries(root)
    target_of = {folder: lib[0] for folder, lib in libs.items()}
    faults = []
    uses = {}
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or path.parent == src:
            continue
        own = folder_of(path, src)
        if own not in rank:
            faults.append(f"{path.relative_to(root)}: folder {own} is not in the layer order")
            continue
        for include in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            other = included_folder(include)
            if other is None or other == own:
                continue
            if other not in rank:
                if (src / include).exists():
                    faults.append(f"{path.relative_to(root)}: includes {include} from a folder not in the order")
                continue
            if rank[other] >= rank[own]:
                where = "a peer" if rank[other] == rank[own] else "a higher layer"
                faults.append(f"{path.relative_to(root)}: includes {include} from {where} ({other} over {own})")
            uses.setdefault(own, set()).add(other)
    for folder, (target, deps) in sorted(libs.items()):
        wanted = {target_of[f] for f in uses.get(folder, ()) if f in target_of}
        for extra in sorted(deps - wanted):
            faults.append(f"src/CMakeLists.txt: {target} links {extra}, but no file of {folder}/ includes from its folder")
        for missing in sorted(wanted - deps):
            faults.append(f"src/CMakeLists.txt: {target} does not link {missing}, which files of {folder}/ include")
    for fault in faults:
        print(fault)
    if not faults:
        print(f"layers sound: {len(rank)} folders, {sum(len(v) for v in uses.values())} folder dependencies")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
