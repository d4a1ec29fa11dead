"""Xvfb's framebuffer file (an XWD image of 32-bit pixels, from Xvfb -fbdir) read as RGB rows, and
rows written as a PNG: a picture of a virtual screen with nothing but Python's standard library."""
import struct
import zlib


def framebuffer_size(path):
    """Width and height of the framebuffer."""
    with open(path, "rb") as f:
        fields = struct.unpack(">25I", f.read(100))
    return fields[4], fields[5]


def framebuffer_rows(path, x, y, width, height):
    """RGB rows of a rectangle of the framebuffer."""
    with open(path, "rb") as f:
        data = f.read()
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
