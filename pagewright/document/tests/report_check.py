#!/usr/bin/python3
"""Checks a saved report with an independent compound-file reader (olefile).

    report_check.py FILE [streams=NAME,NAME...] [revision=R] [pages=N]
                         [title=TEXT] [contents_size=N]

streams: the file holds exactly these streams ("\\x05" stands for the
character 5). revision, pages, title: the summary information reads so
(olefile's get_metadata). contents_size: the Contents stream has N bytes.
Exit status 0 when everything matches; the reason is printed otherwise.
"""
import sys

import olefile


def fail(message):
    print("report_check: " + message)
    sys.exit(1)


def main():
    if len(sys.argv) < 2:
        fail(__doc__)
    path = sys.argv[1]
    checks = dict(arg.split("=", 1) for arg in sys.argv[2:])
    if not olefile.isOleFile(path):
        fail("%s is no compound file" % path)
    ole = olefile.OleFileIO(path)
    if "streams" in checks:
        want = sorted(name.replace("\\x05", "\x05") for name in checks["streams"].split(","))
        found = sorted("/".join(entry) for entry in ole.listdir(streams=True, storages=True))
        if found != want:
            fail("streams %r, expected %r" % (found, want))
    if "contents_size" in checks:
        size = len(ole.openstream("Contents").read())
        if size != int(checks["contents_size"]):
            fail("Contents has %d bytes, expected %s" % (size, checks["contents_size"]))
    meta = ole.get_metadata()

    def text(value):
        return value.decode("gbk") if isinstance(value, bytes) else (value or "")

    if "revision" in checks and text(meta.revision_number) != checks["revision"]:
        fail("revision %r, expected %r" % (meta.revision_number, checks["revision"]))
    if "pages" in checks and meta.num_pages != int(checks["pages"]):
        fail("page count %r, expected %s" % (meta.num_pages, checks["pages"]))
    if "title" in checks and text(meta.title) != checks["title"]:
        fail("title %r, expected %r" % (meta.title, checks["title"]))
    ole.close()
    print("report_check: ok")


if __name__ == "__main__":
    main()
