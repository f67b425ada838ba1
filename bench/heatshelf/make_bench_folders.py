#!/usr/bin/env python3
"""Folders of camera files for the browser's benchmarks, made with vnigen.

    make_bench_folders.py DIR

DIR/one.vni          a 640 x 480 VN410K8 still image (the blob picture)
DIR/folder1000/      1000 such images, IR0000.VNI .. IR0999.VNI
DIR/folder500/       the first 500 of them (hard links, or copies)
"""
import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
import vnigen  # noqa: E402


def main(argv):
    if len(argv) != 2:
        raise SystemExit(__doc__)
    out = argv[1]
    data = vnigen._with(vnigen._k8("VN410K8", 640, 480), pattern="blob").bytes()
    vnigen.write(os.path.join(out, "one.vni"), data)
    for sub in ("folder1000", "folder500"):
        shutil.rmtree(os.path.join(out, sub), ignore_errors=True)
        os.makedirs(os.path.join(out, sub))
    for i in range(1000):
        name = "IR%04d.VNI" % i
        path = os.path.join(out, "folder1000", name)
        with open(path, "wb") as f:
            f.write(data)
        if i < 500:
            link = os.path.join(out, "folder500", name)
            try:
                os.link(path, link)
            except OSError:
                shutil.copyfile(path, link)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
