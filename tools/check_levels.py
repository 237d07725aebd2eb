#!/usr/bin/env python3
"""Checks that no library folder includes from a folder its level may not use.

Every top folder of the tree is one library at one level (the table below;
the root README mirrors it). A folder may include its own headers, those of
the folders its entry names (all lower levels where it says BELOW), and,
above the platform layer, the ids of the language packs (lang/ids). The
checker reads every #include "..." of the source files under the folders of
the table that exist, and names file and line of each include that breaks
the rule. Folders of the table missing from the checkout are passed over.

    python3 tools/check_levels.py [--root DIR]

Exit status 0 when every include is allowed, 1 when one is not, 2 on bad use.
"""

import argparse
import os
import re
import sys

# (folder, level, what it may include besides itself). BELOW stands for
# every folder of a lower level. A level of None means the folder stands
# outside the levels.
BELOW = "below"
LEVELS = [
    ("platform", 0, ()),
    ("pdflib", 0, ()),
    ("core", 1, ("platform",)),
    ("image/codec", 1, ("platform", "core")),
    ("settings", 2, ("platform", "core")),
    ("image", 2, ("platform", "core", "image/codec")),
    ("xls", 2, ("platform", "core")),
    ("design", 3, ("platform", "core", "settings")),
    ("palette", 4, (BELOW,)),
    ("builder", 5, (BELOW,)),
    ("designfile", 6, (BELOW,)),
    ("controls", 7, (BELOW,)),
    ("view", 8, (BELOW,)),
    ("dialogs", 8, (BELOW, "view")),
    ("pdf", 8, (BELOW,)),
    ("app", 9, (BELOW,)),
    ("setup", None, ("platform", "core", "settings", "controls")),
]

# Headers every folder above the platform layer may include.
SHARED = ("lang/ids",)

SOURCE_ENDINGS = (".h", ".hpp", ".c", ".cc", ".cpp", ".inl")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def folder_of(path, folders):
    """The longest folder of `folders` that holds the tree path, or None."""
    best = None
    for folder in folders:
        if path == folder or path.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def may_include(source, target):
    """Whether folder `source` may include from folder `target`."""
    entries = {folder: (level, uses) for folder, level, uses in LEVELS}
    if source == target:
        return True
    level, uses = entries[source]
    if target in uses:
        return True
    if target in SHARED:
        return level is None or level > 0
    target_level = entries.get(target, (None, ()))[0]
    return BELOW in uses and target_level is not None and target_level < level


def resolve(root, including, name):
    """The tree path an include names: beside the including file when such a
    file exists there, else from the tree root."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), name))
    if not beside.startswith("..") and os.path.isfile(os.path.join(root, beside)):
        return beside.replace(os.sep, "/")
    return os.path.normpath(name).replace(os.sep, "/")


def check(root):
    """The includes that break the levels, as (file, line, include, message),
    and the number of files read."""
    folders = [folder for folder, _, _ in LEVELS]
    known = folders + list(SHARED)
    problems = []
    files = 0
    for folder in folders:
        top = os.path.join(root, folder)
        if not os.path.isdir(top):
            continue
        for directory, subdirs, names in os.walk(top):
            subdirs.sort()
            for name in sorted(names):
                if not name.endswith(SOURCE_ENDINGS):
                    continue
                path = os.path.relpath(os.path.join(directory, name), root).replace(os.sep, "/")
                # A file of a nested folder of the table belongs to that folder.
                if folder_of(path, folders) != folder:
                    continue
                files += 1
                with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target_path = resolve(root, path, m.group(1))
                        target = folder_of(target_path, known)
                        if target is None:
                            problems.append((path, number, m.group(1),
                                             f"{folder} includes from outside the level table"))
                        elif not may_include(folder, target):
                            problems.append((path, number, m.group(1), f"{folder} {describe(folder)} may not "
                                             f"include {target} {describe(target)}"))
    return problems, files


def describe(folder):
    for name, level, _ in LEVELS:
        if name == folder:
            return "(outside the levels)" if level is None else f"(level {level})"
    return "(shared)"


def main(argv):
    parser = argparse.ArgumentParser(description="Checks the include levels of the tree.")
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                        help="the tree to check (default: the tree this script is in)")
    args = parser.parse_args(argv)
    if not os.path.isdir(args.root):
        print(f"check_levels: no folder {args.root}", file=sys.stderr)
        return 2
    problems, files = check(args.root)
    for path, number, name, message in problems:
        print(f'{path}:{number}: #include "{name}": {message}')
    if problems:
        print(f"check_levels: {len(problems)} include(s) against the levels in {files} files", file=sys.stderr)
        return 1
    print(f"check_levels: {files} files, every include within its level")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
