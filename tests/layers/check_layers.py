#!/usr/bin/env python3
"""The include layers of the product code: every folder includes only its own files and those
of the folders below it, and the front ends see only the convert entry, the tools and the
types those show. Prints each include that breaks the order and exits 1 when there is one.

    tests/layers/check_layers.py [SOURCE_DIR]
"""
import os
import re
import sys

# Each folder and the folders it may include, besides itself.
ALLOWED = {
    'platform': set(),
    'text': {'platform'},
    'cfb': {'platform'},
    'zip': {'platform', 'text'},
    'xml': {'platform'},
    'model': {'platform', 'text'},
    'ppt': {'platform', 'text', 'cfb', 'model'},
    'pptx': {'platform', 'text', 'cfb', 'zip', 'xml', 'model'},
    'convert': {'platform', 'text', 'cfb', 'model', 'ppt', 'pptx'},
    'tools': {'platform', 'text', 'model', 'convert'},
}
# The front ends: the C header, the convert entry, the tools and what their headers show.
PUBLIC = {'platform', 'text', 'model', 'convert', 'tools'}
for front in ('api', 'cli', 'batch', 'python'):
    ALLOWED[front] = PUBLIC | {front}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', '..'))
    folders = set(ALLOWED) | {'app', 'tests', 'bench', 'fuzz', 'include', 'examples'}
    broken = []
    for folder, allowed in sorted(ALLOWED.items()):
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for name in files:
                if not name.endswith(('.h', '.cpp', '.c')):
                    continue
                path = os.path.join(dirpath, name)
                text = open(path, encoding='utf-8', errors='replace').read()
                for included in INCLUDE.findall(text):
                    top = included.split('/')[0]
                    if '/' not in included or top not in folders or top == folder:
                        continue  # a header of the folder itself, or of a system library
                    if top not in allowed:
                        broken.append('%s includes %s' % (os.path.relpath(path, root), included))
    for line in broken:
        print(line)
    print('%d includes out of order' % len(broken))
    return 1 if broken else 0


if __name__ == '__main__':
    sys.exit(main())
