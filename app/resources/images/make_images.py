#!/usr/bin/env python3
"""Draws the program's icons and background tiles as PNG files into this folder.

The pictures are simple geometric drawings so that they can be regenerated and changed
here without an image editor. Run: python3 make_images.py
"""
import math
import struct
import zlib


class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.pixels = [list(fill) for _ in range(width * height)]

    def plot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = list(colour)

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.plot(x, y, colour)

    def disc(self, cx, cy, r, colour):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.plot(x, y, colour)

    def ring(self, cx, cy, r, width, colour):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if r - width <= d <= r:
                    self.plot(x, y, colour)

    def line(self, x0, y0, x1, y1, colour, width=1):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            self.disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, colour)

    def save(self, name):
        raw = b"".join(
            b"\0" + bytes(v for p in self.pixels[y * self.width:(y + 1) * self.width] for v in p)
            for y in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        with open(name, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                      chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


WHITE = (255, 255, 255, 255)
NAVY = (28, 52, 110, 255)
BLACK = (0, 0, 0, 255)
GREEN = (80, 230, 110, 255)
AMBER = (250, 190, 60, 255)
RED = (230, 50, 40, 255)
GREY = (150, 150, 150, 255)


def connector(canvas, cx, cy, r, scale=1.0):
    """A round five-pin MIDI socket; `scale` widens its rim, pins and key for large icons."""
    canvas.disc(cx, cy, r, WHITE)
    canvas.disc(cx, cy, r - 2.5 * scale, NAVY)
    for angle in (180, 225, 270, 315, 360):
        a = math.radians(angle)
        canvas.disc(cx + math.cos(a) * r * 0.55, cy + math.sin(a) * r * 0.55, 1.6 * scale, WHITE)
    canvas.rect(int(cx - 2 * scale), int(cy + r - 4 * scale), int(cx + 2 * scale),
                int(cy + r - 1 * scale), WHITE)


def frame_icon():
    c = Canvas(32, 32)
    c.rect(1, 1, 31, 31, NAVY)
    connector(c, 16, 16, 12)
    c.save("frame.png")


def monitor_icon():
    c = Canvas(32, 32)
    c.rect(2, 4, 30, 26, GREY)
    c.rect(4, 6, 28, 24, BLACK)
    for i, length in enumerate((18, 12, 20, 9, 15)):
        c.rect(6, 8 + i * 3, 6 + length, 9 + i * 3, GREEN)
    c.rect(12, 26, 20, 28, GREY)
    c.rect(8, 28, 24, 30, GREY)
    c.save("monitor.png")


def status_icon():
    c = Canvas(32, 32)
    c.rect(1, 1, 31, 31, WHITE)
    for ch in range(8):
        height = (5, 14, 9, 20, 7, 17, 11, 23)[ch]
        c.rect(3 + ch * 3 + ch // 2, 29 - height, 5 + ch * 3 + ch // 2, 29, NAVY)
    c.save("midi_status.png")


def port_view_icon():
    c = Canvas(32, 32)
    c.rect(1, 8, 31, 24, (210, 210, 210, 255))
    for i, lit in enumerate((True, False, True, True, False, True)):
        c.disc(5 + i * 4.4, 16, 1.8, GREEN if lit else (60, 90, 60, 255))
    c.save("port_status.png")


def routing_icon():
    c = Canvas(32, 32)
    ins, outs = (6, 16, 26), (9, 23)
    for y in ins:
        for y2 in outs:
            if (y, y2) != (26, 9):
                c.line(7, y, 25, y2, NAVY, 1.5)
    for y in ins:
        c.disc(5, y, 3, AMBER)
    for y in outs:
        c.disc(27, y, 3, GREEN)
    c.save("routing.png")


def keyboard_icons():
    for name, light in (("keyboard.png", GREY), ("keyboard_lit.png", RED)):
        c = Canvas(32, 32)
        c.rect(1, 8, 31, 28, WHITE)
        for x in range(1, 32, 5):
            c.rect(x, 8, x + 1, 28, BLACK)
        for x in (4, 9, 19, 24, 29):
            c.rect(x, 8, x + 3, 20, BLACK)
        c.disc(27, 4, 3, light)
        c.save(name)


def app_icon(size, player):
    """The desktop's icon of corvex (a MIDI socket) or tunelet (a note over the socket)."""
    c = Canvas(size, size)
    k = size / 32
    c.rect(round(k), round(k), size - round(k), size - round(k), NAVY)
    connector(c, size / 2, size / 2, 12 * k, k)
    if player:
        c.disc(20.5 * k, 22 * k, 3.6 * k, AMBER)
        c.rect(round(23 * k), round(7 * k), round(24.6 * k), round(22 * k), AMBER)
        c.line(24 * k, 7.5 * k, 28 * k, 11 * k, AMBER, 1.6 * k)
    return c


def desktop_icons():
    """The icons installed into the hicolor theme, one file per size and program."""
    for size in (16, 22, 24, 32, 48, 64, 128, 256):
        for name, player in (("corvex", False), ("tunelet", True)):
            app_icon(size, player).save(f"../desktop/icons/{name}-{size}.png")


def background_tiles():
    tile = Canvas(64, 64, (58, 74, 110, 255))
    for offset in range(0, 64, 16):
        tile.line(offset, 0, offset + 63, 63, (70, 88, 128, 255), 3)
        tile.line(offset - 64, 0, offset - 1, 63, (70, 88, 128, 255), 3)
    connector(tile, 32, 32, 9)
    tile.save("background1.png")

    staff = Canvas(96, 64, (238, 232, 214, 255))
    for y in range(12, 44, 7):
        staff.rect(0, y, 96, y + 1, (150, 140, 120, 255))
    for x, y in ((14, 33), (38, 26), (62, 19), (84, 30)):
        staff.disc(x, y, 3.2, (60, 50, 40, 255))
        staff.rect(int(x + 2), y - 18, int(x + 3), y, (60, 50, 40, 255))
    staff.save("background2.png")


if __name__ == "__main__":
    frame_icon()
    monitor_icon()
    status_icon()
    port_view_icon()
    routing_icon()
    keyboard_icons()
    background_tiles()
    desktop_icons()
