#!/usr/bin/env python3
"""Draws the dialogs' pictures as PNG files (standard library only).

Run from this folder: python3 make_icons.py. The PNG files are committed; run this again
only after changing a drawing below.
"""
import struct
import zlib


class Canvas:
    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.w, self.h = width, height
        self.px = [list(background) for _ in range(width * height)]

    def put(self, x, y, color):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = list(color)

    def rect(self, x0, y0, x1, y1, color):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, color)

    def frame(self, x0, y0, x1, y1, color):
        for x in range(x0, x1 + 1):
            self.put(x, y0, color)
            self.put(x, y1, color)
        for y in range(y0, y1 + 1):
            self.put(x0, y, color)
            self.put(x1, y, color)

    def ring(self, cx, cy, r_out, r_in, color):
        for y in range(cy - r_out, cy + r_out + 1):
            for x in range(cx - r_out, cx + r_out + 1):
                d = (x - cx) ** 2 + (y - cy) ** 2
                if r_in * r_in <= d <= r_out * r_out:
                    self.put(x, y, color)

    def disc(self, cx, cy, r, color):
        self.ring(cx, cy, r, 0, color)

    def line(self, x0, y0, x1, y1, color, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            self.rect(x, y, x + width - 1, y + width - 1, color)

    def save(self, path):
        raw = b"".join(
            b"\x00" + bytes(c for p in self.px[y * self.w:(y + 1) * self.w] for c in p)
            for y in range(self.h))

        def chunk(tag, data):
            body = tag + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                    + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)
PAPER = (250, 250, 240, 255)
ORANGE = (208, 80, 32, 255)
NAVY = (24, 40, 112, 255)
GREY = (96, 96, 96, 255)
FOLDER = (232, 184, 72, 255)
FOLDER_DARK = (176, 128, 32, 255)
GLASS = (160, 208, 240, 255)


def about_strip():
    """Four 32x32 frames side by side on black (black is the transparent colour): a slide
    whose text is written out into lines, one more line per frame."""
    c = Canvas(128, 32, BLACK)
    for f in range(4):
        ox = f * 32
        # The slide, with its orange title bar.
        c.rect(ox + 2, 3, ox + 20, 17, PAPER)
        c.frame(ox + 2, 3, ox + 20, 17, GREY)
        c.rect(ox + 4, 5, ox + 18, 7, ORANGE)
        c.rect(ox + 5, 10, ox + 17, 15, (232, 232, 216, 255))
        # The text page, filled in line by line.
        c.rect(ox + 14, 12, ox + 29, 29, WHITE)
        c.frame(ox + 14, 12, ox + 29, 29, GREY)
        for i in range(f + 1):
            y = 15 + i * 4
            c.rect(ox + 16, y, ox + 27 - (i % 2) * 3, y + 1, NAVY)
        # The arrow from slide to page.
        c.line(ox + 8, 20, ox + 8, 25, ORANGE, 2)
        c.line(ox + 8, 25, ox + 12, 25, ORANGE, 2)
    c.save("aniabout.png")


def find_strip():
    """Eight 48x32 frames side by side: a magnifying glass sweeping over an open folder."""
    c = Canvas(8 * 48, 32)
    path = [(14, 12), (20, 10), (26, 10), (32, 12), (32, 17), (26, 19), (20, 19), (14, 17)]
    for f, (gx, gy) in enumerate(path):
        ox = f * 48
        c.rect(ox + 4, 8, ox + 16, 11, FOLDER_DARK)
        c.rect(ox + 4, 11, ox + 42, 28, FOLDER)
        c.frame(ox + 4, 11, ox + 42, 28, FOLDER_DARK)
        c.rect(ox + 8, 5, ox + 36, 12, PAPER)
        c.frame(ox + 8, 5, ox + 36, 12, GREY)
        c.disc(ox + gx, gy, 6, GLASS)
        c.ring(ox + gx, gy, 7, 5, NAVY)
        c.line(ox + gx + 5, gy + 5, ox + gx + 9, gy + 9, NAVY, 3)
    c.save("findfile.png")


if __name__ == "__main__":
    about_strip()
    find_strip()
