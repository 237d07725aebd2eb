#!/usr/bin/env python3
"""Writes the setup's RTF texts from the UTF-8 sources beside this script (run
by hand; the results are kept in the tree): the agreements (setup/lang/en,
setup/lang/ru) and the Russian manual (setup/data/Velloran.doc, an RTF file
under the manual's name: word processors open RTF under any name).

Source format: a line starting with '# ' is a heading, a blank line ends a
paragraph, other lines are joined."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SETUP = os.path.dirname(HERE)


def escape(text, codepage):
    out = []
    for ch in text:
        if ch in '\\{}':
            out.append('\\' + ch)
        elif ord(ch) < 128:
            out.append(ch)
        else:
            try:
                b = ch.encode('cp%d' % codepage)
                out.append(''.join("\\'%02x" % v for v in b))
            except UnicodeEncodeError:
                out.append('\\u%d?' % ord(ch))
    return ''.join(out)


def to_rtf(source, codepage):
    charset = 204 if codepage == 1251 else 0
    parts = ['{\\rtf1\\ansi\\ansicpg%d\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset%d Arial;}}' % (codepage, charset),
             '\\viewkind4\\uc1\\pard\\f0\\fs18\n']
    paragraph = []

    def flush():
        if paragraph:
            parts.append(escape(' '.join(paragraph), codepage) + '\\par\\par\n')
            paragraph.clear()

    for line in source.splitlines():
        if line.startswith('# '):
            flush()
            parts.append('\\b\\fs22 ' + escape(line[2:], codepage) + '\\b0\\fs18\\par\\par\n')
        elif not line.strip():
            flush()
        else:
            paragraph.append(line.strip())
    flush()
    parts.append('}\n')
    return ''.join(parts).encode('ascii')


JOBS = [
    ('art/license_en.txt', 'lang/en/license_en.rtf', 1252),
    ('art/license_ru.txt', 'lang/ru/license_ru.rtf', 1251),
    ('art/manual_ru.txt', 'data/Velloran.doc', 1251),
]

if __name__ == '__main__':
    for src, dst, cp in JOBS:
        with open(os.path.join(SETUP, src), encoding='utf-8') as f:
            data = to_rtf(f.read(), cp)
        with open(os.path.join(SETUP, dst), 'wb') as f:
            f.write(data)
    sys.exit(0)
