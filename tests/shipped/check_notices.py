#!/usr/bin/env python3
"""Checks each tree's THIRD-PARTY-NOTICES.txt against what the linker put
into the shipped executables (their link maps): every static library and
start-up object from outside our own code is named in a section's
"Linked:" line, and no section names a file that is no longer linked. A
library added to the link without a notice, or notices left from an
earlier link, fail here.

Also: each section carries licence text; the IJG acknowledgement stands
where libjpeg is linked; the file is UTF-8 with a byte-order mark and CR LF
line ends (Notepad on any Windows).

Usage: check_notices.py <build-tree>...
"""
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "release"))
from link_maps import linked_files  # noqa: E402

failures = []


def deps_prefix_of(tree):
    for line in open(os.path.join(tree, "CMakeCache.txt"), encoding="utf-8"):
        if line.startswith("TF_DEPS_PREFIX:"):
            return line.split("=", 1)[1].strip()
    raise ValueError("no TF_DEPS_PREFIX in the tree's cache")


def sections(text):
    """(linked names, body) per section."""
    found = []
    for block in re.split(r"\r\n={72}\r\n(?=[^\r\n]+\r\nSource: )", text)[1:]:
        linked = re.search(r"^Linked: (.*)$", block, re.M).group(1).strip()
        found.append(({name.strip() for name in linked.split(",")}, block))
    return found


def check(tree):
    notices_path = os.path.join(tree, "THIRD-PARTY-NOTICES.txt")
    raw = open(notices_path, "rb").read()
    if not raw.startswith(b"\xef\xbb\xbf"):
        failures.append(f"{notices_path}: no UTF-8 byte-order mark")
    if re.search(rb"(?<!\r)\n", raw):
        failures.append(f"{notices_path}: a line ends without CR")
    text = raw.decode("utf-8-sig")
    prefix = deps_prefix_of(tree)
    linked = set()
    for link_map in open(os.path.join(tree, "link-maps.txt"), encoding="utf-8").read().split():
        linked |= {os.path.basename(path) for path in linked_files(link_map, tree, prefix)}
    if not linked:
        failures.append(f"{tree}: no link map names a library")
    named = set()
    for names, body in sections(text):
        named |= names
        if len(body.splitlines()) < 20:
            failures.append(f"{notices_path}: the section for {', '.join(sorted(names))} has no licence text")
    for name in sorted(linked - named):
        failures.append(f"{notices_path}: {name} is linked in but has no notice")
    for name in sorted(named - linked):
        failures.append(f"{notices_path}: {name} has a notice but is not linked (notices out of date)")
    if "libjpeg.a" in linked and "based in part on the work of the Independent JPEG Group" not in text:
        failures.append(f"{notices_path}: libjpeg is linked, but the IJG acknowledgement is missing")
    print(f"{notices_path}: {len(named)} linked files covered in {len(sections(text))} sections")


for build_tree in sys.argv[1:]:
    try:
        check(build_tree)
    except (OSError, ValueError, AttributeError) as error:
        failures.append(f"{build_tree}: cannot be checked: {error}")
for line in failures:
    print("FAILED:", line)
sys.exit(1 if failures else 0)
