#!/usr/bin/env python3
"""The level checker (tools/check_levels.py) on a small tree with planted
includes that break the levels (levels_fixture/: upward, sideways, to a lower
level a folder may not use, to a folder outside the table): it names each of
them by file and line and nothing else, and passes the same tree once they
are taken out."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECKER = os.path.join(HERE, "..", "..", "tools", "check_levels.py")
FIXTURE = os.path.join(HERE, "levels_fixture")

# The planted includes: (file, line, header included).
PLANTED = {
    ("core/Upward.cpp", 3, "design/Pattern.h"),
    ("core/Sideways.cpp", 2, "image/codec/Codec.h"),
    ("image/codec/Upward.cpp", 3, "image/Picture.h"),
    ("design/Pattern.h", 5, "palette/ColorSet.h"),
    ("design/Picture.cpp", 2, "image/Picture.h"),
    ("view/View.h", 3, "dialogs/Dialog.h"),
    ("setup/Setup.cpp", 4, "design/Pattern.h"),
    ("settings/Helper.cpp", 2, "tests/common/test_util.h"),
    ("platform/base.h", 3, "lang/ids/base.h"),
}


def run(root):
    result = subprocess.run([sys.executable, CHECKER, "--root", root], capture_output=True, text=True)
    return result.returncode, result.stdout


class CheckLevelsTest(unittest.TestCase):
    def test_planted_includes_are_named_by_file_and_line(self):
        code, out = run(FIXTURE)
        self.assertEqual(code, 1, out)
        found = set()
        for line in out.splitlines():
            m = re.match(r'^(\S+):(\d+): #include "([^"]+)"', line)
            self.assertIsNotNone(m, line)
            found.add((m.group(1), int(m.group(2)), m.group(3)))
        self.assertEqual(found, PLANTED)

    def test_the_tree_without_them_passes(self):
        with tempfile.TemporaryDirectory() as scratch:
            tree = os.path.join(scratch, "tree")
            shutil.copytree(FIXTURE, tree)
            for path, number, _ in PLANTED:
                full = os.path.join(tree, path)
                with open(full, encoding="utf-8") as f:
                    lines = f.readlines()
                lines[number - 1] = "// taken out\n"
                with open(full, "w", encoding="utf-8") as f:
                    f.writelines(lines)
            code, out = run(tree)
            self.assertEqual(code, 0, out)

    def test_a_missing_tree_is_an_error(self):
        code, _ = run(os.path.join(FIXTURE, "no-such-folder"))
        self.assertEqual(code, 2)


if __name__ == "__main__":
    unittest.main()
