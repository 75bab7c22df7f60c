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

    def blit(self, other, x0, y0):
        for y in range(other.height):
            for x in range(other.width):
                self.plot(x0 + x, y0 + y, other.pixels[y * other.width + x])

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


# ---- Toolbar pictures: a strip of 35 pictures of 24 x 24 pixels, by index --------------
TB = 24
LIGHT = (235, 235, 235, 255)
DARK_GREY = (90, 90, 90, 255)
BLUE = (50, 110, 220, 255)
DARK_RED = (110, 30, 30, 255)
YELLOW = (245, 220, 60, 255)


def page(c, lines=True):
    c.rect(5, 2, 19, 22, DARK_GREY)
    c.rect(6, 3, 18, 21, WHITE)
    if lines:
        for y in range(6, 19, 3):
            c.rect(8, y, 16, y + 1, GREY)


def arrow(c, x0, y0, x1, y1, colour, width=2.5):
    c.line(x0, y0, x1, y1, colour, width)
    a = math.atan2(y1 - y0, x1 - x0)
    for side in (2.5, -2.5):
        c.line(x1, y1, x1 - 5 * math.cos(a + side / 3), y1 - 5 * math.sin(a + side / 3), colour,
               width)


def screen(c, lines=GREEN):
    c.rect(2, 3, 22, 18, GREY)
    c.rect(4, 5, 20, 16, BLACK)
    for i, length in enumerate((10, 6, 12)):
        c.rect(6, 7 + i * 3, 6 + length, 8 + i * 3, lines)
    c.rect(9, 18, 15, 20, GREY)
    c.rect(6, 20, 18, 22, GREY)


def keys(c, light):
    c.rect(1, 8, 23, 22, WHITE)
    for x in range(1, 24, 4):
        c.rect(x, 8, x + 1, 22, BLACK)
    for x in (4, 8, 16, 20):
        c.rect(x, 8, x + 2, 16, BLACK)
    if light:
        c.disc(20, 4, 3, light)


def windows(c, front):
    c.rect(2, 2, 15, 13, DARK_GREY)
    c.rect(3, 4, 14, 12, LIGHT)
    c.rect(8, 9, 22, 21, DARK_GREY)
    c.rect(9, 11, 21, 20, front)
    c.rect(8, 9, 22, 11, BLUE)


def plug(c, connected):
    c.rect(1, 10, 8, 14, DARK_GREY)
    c.rect(8, 7, 12, 17, BLACK)
    gap = 0 if connected else 4
    c.rect(12, 9, 15 + 0, 10, GREY)
    c.rect(12, 14, 15, 15, GREY)
    c.rect(15 + gap, 7, 19 + gap, 17, NAVY)
    c.rect(19 + gap, 10, 24, 14, DARK_GREY)


def sysex_mark(c, passing):
    c.rect(2, 5, 22, 19, GREEN if passing else GREY)
    c.rect(4, 7, 20, 17, BLACK)
    # "F0" drawn with bars
    c.rect(6, 9, 7, 15, WHITE)
    c.rect(6, 9, 10, 10, WHITE)
    c.rect(6, 11, 9, 12, WHITE)
    c.ring(15, 12, 3.2, 1.2, WHITE)
    if not passing:
        c.line(3, 20, 21, 4, RED, 2)


def record_mark(c, running):
    if running:
        c.disc(12, 12, 8, RED)
        c.ring(12, 12, 8, 1.2, DARK_RED)
    else:
        c.disc(12, 12, 8, GREY)
        c.rect(8, 7, 11, 17, WHITE)
        c.rect(13, 7, 16, 17, WHITE)


def taskbar(c, icon):
    c.rect(1, 15, 23, 22, DARK_GREY)
    c.rect(3, 17, 9, 20, GREY)
    if icon:
        c.rect(14, 16, 21, 21, NAVY)
        c.disc(17.5, 18.5, 2, WHITE)
        arrow(c, 17.5, 4, 17.5, 13, BLUE, 2)
    else:
        c.rect(14, 16, 21, 21, (120, 120, 120, 255))


def toolbar_picture(index):
    c = Canvas(TB, TB)
    if index == 0:  # log
        page(c)
        c.line(12, 19, 20, 8, AMBER, 2.2)
    elif index == 1:  # send SysEx
        c.rect(2, 6, 11, 18, NAVY)
        arrow(c, 8, 12, 21, 12, GREEN)
    elif index == 2:  # receive SysEx
        c.rect(13, 6, 22, 18, NAVY)
        arrow(c, 2, 12, 15, 12, AMBER)
    elif index == 3:  # control panel: faders
        for i, knob in enumerate((14, 7, 11, 17)):
            x = 4 + i * 5
            c.rect(x, 3, x + 1, 21, DARK_GREY)
            c.rect(x - 2, knob, x + 3, knob + 3, BLUE)
    elif index == 4:  # MIDI status: meters
        c.rect(1, 1, 23, 23, WHITE)
        for i, h in enumerate((6, 14, 9, 18, 11)):
            c.rect(3 + i * 4, 21 - h, 6 + i * 4, 21, NAVY)
    elif index in (5, 19, 20):  # keyboard: off, dark, lit
        keys(c, {5: None, 19: DARK_RED, 20: RED}[index])
    elif index == 6:  # filter: a funnel
        for y in range(3, 13):
            c.rect(2 + (y - 3), y, 22 - (y - 3), y + 1, BLUE)
        c.rect(10, 13, 14, 21, BLUE)
    elif index == 7:  # MIDI devices
        connector(c, 12, 12, 10)
    elif index == 8:  # show devices: a list
        page(c, False)
        for y in (6, 10, 14, 18):
            c.disc(9, y + 0.5, 1.4, NAVY)
            c.rect(11, y, 16, y + 1, GREY)
    elif index in (9, 18):  # display running / stopped
        record_mark(c, index == 9)
    elif index == 10:  # clear display
        screen(c, (60, 60, 60, 255))
        c.line(6, 6, 18, 15, RED, 2)
        c.line(18, 6, 6, 15, RED, 2)
    elif index in (11, 15):  # always on top: on / off
        windows(c, YELLOW if index == 11 else LIGHT)
    elif index in (12, 16):  # MIDI attached / released
        plug(c, index == 12)
    elif index in (13, 17):  # passing SysEx on / off
        sysex_mark(c, index == 13)
    elif index == 14:  # help: a question mark
        c.disc(12, 12, 10, BLUE)
        c.ring(12, 9, 4, 2, WHITE)
        c.rect(7, 9, 10, 12, BLUE)
        c.rect(11, 12, 13, 16, WHITE)
        c.rect(11, 17, 13, 19, WHITE)
    elif index == 21:  # input monitor
        screen(c, AMBER)
        arrow(c, 0, 3, 7, 9, AMBER, 2)
    elif index == 22:  # panic
        for y in range(24):
            for x in range(24):
                if abs(x + 0.5 - 12) + abs(y + 0.5 - 12) <= 14 and abs(x + 0.5 - 12) <= 10 \
                        and abs(y + 0.5 - 12) <= 10:
                    c.plot(x, y, RED)
        c.rect(11, 5, 13, 14, WHITE)
        c.rect(11, 16, 13, 19, WHITE)
    elif index == 23:  # data mapping
        c.disc(5, 7, 3, AMBER)
        c.disc(19, 17, 3, GREEN)
        arrow(c, 7, 9, 16, 15, NAVY, 2)
    elif index in (24, 25):  # minimise to tray: on / off
        taskbar(c, index == 24)
    elif index == 26:  # MTC transport: a clock
        c.disc(12, 12, 10, WHITE)
        c.ring(12, 12, 10, 1.5, NAVY)
        c.line(12, 12, 12, 5, BLACK, 1.5)
        c.line(12, 12, 17, 14, BLACK, 1.5)
    elif index == 27:  # play MIDI: a note
        c.disc(9, 18, 4, NAVY)
        c.rect(12, 3, 14, 18, NAVY)
        c.line(13, 3.5, 19, 8, NAVY, 2)
    elif index == 28:  # NRPN calculator
        c.rect(4, 1, 20, 23, DARK_GREY)
        c.rect(6, 3, 18, 8, GREEN)
        for row in range(3):
            for col in range(3):
                c.rect(6 + col * 4, 10 + row * 4, 9 + col * 4, 13 + row * 4, LIGHT)
    elif index == 29:  # port status: lights
        c.rect(1, 7, 23, 17, (210, 210, 210, 255))
        for i, lit in enumerate((True, False, True, True)):
            c.disc(4.5 + i * 5, 12, 2, GREEN if lit else (60, 90, 60, 255))
    elif index == 30:  # instrument panel: knobs
        c.rect(1, 4, 23, 20, NAVY)
        for x in (6, 12, 18):
            c.disc(x, 10, 2.6, WHITE)
            c.rect(x - 1, 15, x + 1, 18, AMBER)
    elif index == 31:  # MIDI sync: a metronome
        for y in range(4, 22):
            half = (y - 4) * 0.4 + 1
            c.rect(int(12 - half), y, int(12 + half) + 1, y + 1, AMBER)
        c.line(12, 19, 17, 3, BLACK, 1.5)
    elif index == 32:  # patch mapping
        c.rect(2, 3, 10, 11, NAVY)
        c.rect(14, 13, 22, 21, GREEN)
        arrow(c, 8, 13, 14, 17, BLACK, 1.8)
    elif index == 33:  # port routing
        for y in (5, 12, 19):
            for y2 in (8, 16):
                c.line(5, y, 19, y2, NAVY, 1.2)
        for y in (5, 12, 19):
            c.disc(4, y, 2.5, AMBER)
        for y in (8, 16):
            c.disc(20, y, 2.5, GREEN)
    elif index == 34:  # main monitor
        screen(c)
    return c


def toolbar_strip():
    strip = Canvas(TB * 35, TB)
    for index in range(35):
        strip.blit(toolbar_picture(index), index * TB, 0)
    strip.save("toolbar.png")


def tray_frames():
    """The tray icon's four built-in pictures: the socket with its lit pin going round."""
    pins = (180, 225, 270, 315, 360)
    for frame in range(4):
        c = Canvas(32, 32)
        c.rect(1, 1, 31, 31, NAVY)
        connector(c, 16, 16, 12)
        a = math.radians(pins[frame])
        c.disc(16 + math.cos(a) * 12 * 0.55, 16 + math.sin(a) * 12 * 0.55, 2.4, GREEN)
        c.save(f"tray{frame}.png")


if __name__ == "__main__":
    frame_icon()
    monitor_icon()
    status_icon()
    port_view_icon()
    routing_icon()
    keyboard_icons()
    background_tiles()
    desktop_icons()
    toolbar_strip()
    tray_frames()
