"""Reads a GNU ld link map: which files outside our own code went into an
executable (static libraries that gave members, start-up objects)."""
import os
import re

MEMBER = re.compile(r"^(\S+\.a)\(")


def linked_files(link_map, own_tree, deps_prefix):
    """Absolute paths of the archives and objects the link took from
    outside our own tree (the deps prefix counts as outside). Relative
    names are taken from the map's folder, where the link ran."""
    taken = set()
    in_members = False
    for line in open(link_map, encoding="utf-8", errors="replace"):
        if line.startswith("Archive member included"):
            in_members = True
            continue
        if line.startswith(("Discarded input sections", "Memory Configuration")):
            in_members = False
        match = MEMBER.match(line) if in_members else None
        if match:
            taken.add(match.group(1))
        elif line.startswith("LOAD ") and line.rstrip().endswith(".o"):
            taken.add(line[5:].strip())

    def outside(path):
        real = os.path.realpath(path)
        inside = lambda root: real.startswith(os.path.realpath(root) + os.sep)
        return inside(deps_prefix) or not inside(own_tree)

    folder = os.path.dirname(os.path.abspath(link_map))
    absolute = {os.path.normpath(os.path.join(folder, path)) for path in taken}
    return {path for path in absolute if outside(path)}
