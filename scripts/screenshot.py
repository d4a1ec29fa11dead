#!/usr/bin/python3
"""Screenshot of the demo window after a search, or of its key table, for the README.

Usage: screenshot.py DEMO LANGUAGE OUTPUT.png FRAMEBUFFER [table]
Run it through screenshot.sh, which starts the virtual X server whose framebuffer file it reads and
the session bus through which it presses "查找模块" (or "Find module"), then "键值表…" ("Key table…").
"""
import os
import struct
import sys
import time
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "a11y"))
import audit  # noqa: E402
from audit import Atspi  # noqa: E402

FIND_MODULE = {"zh": "查找模块", "en": "Find module"}
KEY_TABLE = {"zh": "键值表…", "en": "Key table…"}
KEY_TABLE_WINDOW = {"zh": "键值表", "en": "Key table"}


def framebuffer_rows(path, x, y, width, height):
    """RGB rows of a rectangle of the X server's framebuffer, which is an XWD file of 32-bit pixels."""
    data = open(path, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header_size, bits_per_pixel, bytes_per_line, colours = fields[0], fields[11], fields[12], fields[19]
    if bits_per_pixel != 32:
        raise SystemExit(f"the framebuffer has {bits_per_pixel} bits per pixel, 32 expected")
    pixels = memoryview(data)[header_size + 12 * colours:]
    for row in range(y, y + height):
        start = row * bytes_per_line + 4 * x
        bgrx = pixels[start:start + 4 * width]
        rgb = bytearray(3 * width)
        rgb[0::3], rgb[1::3], rgb[2::3] = bgrx[2::4], bgrx[1::4], bgrx[0::4]
        yield bytes(rgb)


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                  chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def key_table_window(app, window, language):
    button = audit.find(window, Atspi.Role.PUSH_BUTTON, KEY_TABLE[language])
    Atspi.Action.do_action(button, 0)

    def table():
        return next((child for child in audit.children(app)
                     if audit.showing(child) and child.get_name() == KEY_TABLE_WINDOW[language]), None)

    return audit.wait_for("the key table", table)


def main(demo, language, output, framebuffer, shown="window"):
    os.environ["TAVRIN_LANG"] = language
    process, app = audit.start_demo(demo)
    try:
        window = audit.main_window(app)
        button = audit.wait_for("the search button", lambda: audit.find(window, Atspi.Role.PUSH_BUTTON,
                                                                          FIND_MODULE[language]))
        Atspi.Action.do_action(button, 0)
        time.sleep(1.5)
        if shown == "table":
            window = key_table_window(app, window, language)
            time.sleep(1.5)
        box = Atspi.Component.get_extents(window, Atspi.CoordType.SCREEN)
        write_png(output, box.width, box.height, framebuffer_rows(framebuffer, box.x, box.y, box.width, box.height))
    finally:
        process.terminate()


if __name__ == "__main__":
    main(*sys.argv[1:6])
