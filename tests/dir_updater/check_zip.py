"""Checks a ZIP archive with Python's zipfile: every entry's CRC, then one line per entry in
central-directory order: name, general-purpose flags and external attributes (hexadecimal)."""
import sys
import zipfile

with zipfile.ZipFile(sys.argv[1]) as archive:
    broken = archive.testzip()
    if broken is not None:
        sys.exit("bad CRC or data: " + broken)
    for info in archive.infolist():
        print("%s\t%#x\t%#x" % (info.filename, info.flag_bits, info.external_attr))
