#!/usr/bin/env python3
"""Appends the setup's payload to the linked setup program.

make_payload.py --stub STUB --out OUT ID=FILE...

OUT is STUB followed by a zip archive with one entry per ID (named by the
decimal id), each with its file's Unix mode, deflated. The archive's
offsets are its own; minizip finds it behind the program's bytes. OUT is
written under a temporary name and renamed, so a failed build leaves no
half-made setup."""
import argparse
import os
import shutil
import stat
import sys
import zipfile


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--stub', required=True)
    parser.add_argument('--out', required=True)
    parser.add_argument('entries', nargs='+')
    args = parser.parse_args()
    tmp = args.out + '.tmp'
    try:
        write(args, tmp)
    except BaseException:
        if os.path.exists(tmp):
            os.remove(tmp)
        raise
    os.chmod(tmp, 0o755)
    os.replace(tmp, args.out)


def write(args, tmp):
    # The archive is made on its own (offsets from its first byte), then
    # put behind the program.
    archive = tmp + '.zip'
    try:
        make_archive(args, archive)
        with open(tmp, 'wb') as out:
            for part in (args.stub, archive):
                with open(part, 'rb') as src:
                    shutil.copyfileobj(src, out, 1 << 20)
    finally:
        if os.path.exists(archive):
            os.remove(archive)


def make_archive(args, archive):
    seen = set()
    with open(archive, 'wb') as f:
        with zipfile.ZipFile(f, 'w', compression=zipfile.ZIP_DEFLATED, compresslevel=1) as z:
            for entry in args.entries:
                ident, path = entry.split('=', 1)
                if ident in seen:
                    sys.exit('make_payload: id %s given twice' % ident)
                seen.add(ident)
                info = zipfile.ZipInfo(str(int(ident)), date_time=(2018, 2, 23, 0, 0, 0))
                info.compress_type = zipfile.ZIP_DEFLATED
                # Fast: the payload is rebuilt with every change of the program.
                for attr in ('compress_level', '_compresslevel'):
                    try:
                        setattr(info, attr, 1)
                        break
                    except AttributeError:
                        pass
                info.create_system = 3  # Unix: the mode is in the high half of external_attr
                info.external_attr = (stat.S_IFREG | (os.stat(path).st_mode & 0o777)) << 16
                with open(path, 'rb') as src, z.open(info, 'w') as dst:
                    shutil.copyfileobj(src, dst, 1 << 20)


if __name__ == '__main__':
    main()
