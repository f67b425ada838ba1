#!/usr/bin/python3
"""Checks compound files written by the platform layer with an independent
reader (olefile).

    ole_check.py streams FILE PATH=SIZE:SEED ...
        Each stream PATH ("Storage/Stream") holds SIZE bytes of the pattern
        byte[i] = (i * 31 + SEED) & 0xFF, and the file holds no other stream.

    ole_check.py summary FILE KEY=VALUE ...
        The summary information stream equals the one built here from the
        property table of a report summary, and olefile's get_metadata() reads
        the values back. Keys: title, subject, author, keywords, comments,
        template, last_author, revision, app (GBK strings given as UTF-8),
        edit_time, last_printed, created, last_saved (file times), pages,
        words, chars, security (numbers).

Exit status 0 when everything matches; the reason is printed otherwise.
"""
import datetime
import struct
import sys

import olefile

SUMMARY_FMTID = bytes([0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                       0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9])
OS_VERSION = 0x00020105
VT_I2, VT_I4, VT_LPSTR, VT_FILETIME = 2, 3, 30, 64

STRING_KEYS = {"title": 2, "subject": 3, "author": 4, "keywords": 5, "comments": 6,
               "template": 7, "last_author": 8, "revision": 9, "app": 18}
TIME_KEYS = {"edit_time": 10, "last_printed": 11, "created": 12, "last_saved": 13}
COUNT_KEYS = {"pages": 14, "words": 15, "chars": 16, "security": 0x80000002}


def fail(message):
    print("ole_check: " + message)
    sys.exit(1)


def pattern(size, seed):
    period = bytes(((i * 31 + seed) & 0xFF) for i in range(256))
    return (period * (size // 256 + 1))[:size]


def check_streams(path, specs):
    ole = olefile.OleFileIO(path)
    expected = {}
    for spec in specs:
        name, rest = spec.split("=", 1)
        size, seed = (int(x) for x in rest.split(":"))
        expected[name] = pattern(size, seed)
    found = {"/".join(entry) for entry in ole.listdir(streams=True, storages=False)}
    if found != set(expected):
        fail("streams %s, expected %s" % (sorted(found), sorted(expected)))
    for name, data in expected.items():
        got = ole.openstream(name).read()
        if got != data:
            fail("stream %s differs (%d bytes read, %d expected)" % (name, len(got), len(data)))
    ole.close()


def value(vt, payload):
    """Type word, value form and zero padding to a multiple of 4."""
    out = struct.pack("<I", vt) + payload
    return out + b"\0" * (-len(out) % 4)


def build_summary(values):
    def lpstr(key, default=""):
        text = values.get(key, default).encode("gbk") + b"\0"
        return value(VT_LPSTR, struct.pack("<I", len(text)) + text)

    def filetime(key):
        return value(VT_FILETIME, struct.pack("<Q", int(values.get(key, "0"))))

    def i4(key):
        return value(VT_I4, struct.pack("<I", int(values.get(key, "0"))))

    # The order in which a new summary creates its properties.
    props = [(1, value(VT_I2, struct.pack("<h", 936)))]
    for key in ("title", "subject", "author", "keywords", "comments", "template", "last_author"):
        props.append((STRING_KEYS[key], lpstr(key)))
    props.append((9, lpstr("revision", "0")))
    for key in ("edit_time", "last_printed", "last_saved", "created"):
        props.append((TIME_KEYS[key], filetime(key)))
    for key in ("pages", "words", "chars"):
        props.append((COUNT_KEYS[key], i4(key)))
    props.append((18, lpstr("app")))
    props.append((0x80000002, i4("security")))
    # The dictionary, last and unpadded: one entry, the empty section name.
    props.append((0, struct.pack("<III", 1, 0, 1) + b"\0"))

    table_size = 8 + 8 * len(props)
    table = b""
    body = b""
    for pid, data in props:
        table += struct.pack("<II", pid, table_size + len(body))
        body += data
    section = struct.pack("<II", table_size + len(body), len(props)) + table + body
    header = struct.pack("<HHI", 0xFFFE, 0, OS_VERSION) + SUMMARY_FMTID + struct.pack("<I", 1)
    return header + SUMMARY_FMTID + struct.pack("<I", 48) + section


def filetime_to_datetime(ft):
    return datetime.datetime(1601, 1, 1) + datetime.timedelta(microseconds=ft // 10)


def check_summary(path, args):
    values = dict(arg.split("=", 1) for arg in args)
    ole = olefile.OleFileIO(path)
    stream = ole.openstream("\x05SummaryInformation").read()
    expected = build_summary(values)
    if stream != expected:
        at = next((i for i in range(min(len(stream), len(expected))) if stream[i] != expected[i]),
                  min(len(stream), len(expected)))
        fail("summary stream differs at byte %d (%d bytes, %d expected)\n got %s\nwant %s"
             % (at, len(stream), len(expected), stream[at:at + 16].hex(), expected[at:at + 16].hex()))

    meta = ole.get_metadata()
    if meta.codepage != 936:
        fail("code page %r" % meta.codepage)
    for key, attr in (("title", "title"), ("subject", "subject"), ("author", "author"),
                      ("keywords", "keywords"), ("comments", "comments"), ("template", "template"),
                      ("last_author", "last_saved_by"), ("revision", "revision_number"),
                      ("app", "creating_application")):
        want = values.get(key, "0" if key == "revision" else "")
        got = getattr(meta, attr)
        got = got.decode("gbk") if isinstance(got, bytes) else (got or "")
        if got != want:
            fail("%s is %r, expected %r" % (attr, got, want))
    for key, attr in (("created", "create_time"), ("last_saved", "last_saved_time"),
                      ("last_printed", "last_printed")):
        want = int(values.get(key, "0"))
        got = getattr(meta, attr)
        if want and got != filetime_to_datetime(want):
            fail("%s is %r, expected %r" % (attr, got, filetime_to_datetime(want)))
    # olefile gives the editing time in whole seconds.
    if meta.total_edit_time != int(values.get("edit_time", "0")) // 10**7:
        fail("total_edit_time is %r" % meta.total_edit_time)
    if meta.num_pages != int(values.get("pages", "0")):
        fail("num_pages is %r" % meta.num_pages)
    ole.close()


def main():
    if len(sys.argv) < 3:
        fail(__doc__)
    mode, path, rest = sys.argv[1], sys.argv[2], sys.argv[3:]
    if not olefile.isOleFile(path):
        fail("%s is no compound file" % path)
    if mode == "streams":
        check_streams(path, rest)
    elif mode == "summary":
        check_summary(path, rest)
    else:
        fail("unknown mode " + mode)
    print("ole_check: ok")


if __name__ == "__main__":
    main()
