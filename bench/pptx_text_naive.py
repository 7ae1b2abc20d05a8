#!/usr/bin/env python3
"""A naive .pptx text extractor for comparison: zipfile + ElementTree, slide by slide."""
import re
import sys
import xml.etree.ElementTree as ET
import zipfile

A = "{http://schemas.openxmlformats.org/drawingml/2006/main}"


def main(path):
    out = []
    with zipfile.ZipFile(path) as package:
        slides = []
        for name in package.namelist():
            m = re.fullmatch(r"ppt/slides/slide(\d+)\.xml", name, re.IGNORECASE)
            if m:
                slides.append((int(m.group(1)), name))
        for number, name in sorted(slides):
            out.append("slide%d:" % number)
            root = ET.fromstring(package.read(name))
            for paragraph in root.iter(A + "p"):
                out.append("".join(t.text or "" for t in paragraph.iter(A + "t")))
    sys.stdout.buffer.write(("\r\n".join(out) + "\r\n").encode("utf-8"))


if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except Exception as error:  # keep going over a folder like the other tools do
        print("error: %s" % error, file=sys.stderr)
        sys.exit(1)
