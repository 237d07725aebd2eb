# Opens a compound file with olefile in its strict mode and prints
# "ok <stream list> same|different" (the stream "Workbook" against the bytes
# of a second file), or the error olefile raised.
#   olefile_check.py <file.xls> <expected stream bytes>
import sys

import olefile

try:
    ole = olefile.OleFileIO(sys.argv[1], raise_defects=olefile.DEFECT_INCORRECT)
    names = ["/".join(parts) for parts in ole.listdir(streams=True, storages=True)]
    data = ole.openstream("Workbook").read()
    with open(sys.argv[2], "rb") as f:
        expected = f.read()
    print("ok %s %s" % (",".join(names), "same" if data == expected else "different"))
except Exception as error:  # report any defect olefile raises
    print("error %s: %s" % (type(error).__name__, error))
