#!/usr/bin/env python3
"""Turns rendered PNGs into the picture formats the executable embeds.

Used by make-pictures.sh. Standard library only; ImageMagick's `convert`
decodes the PNGs for it (to raw 8-bit RGBA).

Formats written:
  32-bit BMP   BITMAPINFOHEADER, BI_RGB, bottom-up, BGRA with straight
               (not premultiplied) alpha in the 4th byte. LoadImage with
               LR_CREATEDIBSECTION keeps those bytes, and a 32-bit image list
               (ILC_COLOR32) of comctl32 v6 takes them as the alpha channel.
  PNG          8-bit RGBA with straight alpha, or (the popup artwork) a
               palette of at most 256 opaque colours in which pixels that
               are not opaque become exactly RGB(255, 0, 255), the popup
               window's colour key. IHDR, PLTE, IDAT and IEND only: no gamma
               or colour profile for a decoder to apply. GDI+ reads them.
  ICO          32-bit DIB entries with AND mask; the 256 entry as PNG.
"""

import struct
import subprocess
import sys
import zlib

FUCHSIA = (255, 0, 255)


class Picture:
    def __init__(self, width, height, rgba):
        assert len(rgba) == width * height * 4
        self.width, self.height, self.rgba = width, height, bytearray(rgba)

    def pixel(self, x, y):
        i = (y * self.width + x) * 4
        return tuple(self.rgba[i:i + 4])


def load(path):
    """Reads any picture ImageMagick understands as straight 8-bit RGBA."""
    size = subprocess.run(["identify", "-format", "%w %h\n", path], check=True,
                          capture_output=True, text=True).stdout.split("\n")[0]
    width, height = map(int, size.split())
    raw = subprocess.run(["convert", path + "[0]", "-alpha", "on", "-depth", "8", "rgba:-"],
                         check=True, capture_output=True).stdout
    pic = Picture(width, height, raw)
    clear_hidden(pic)
    return pic


def clear_hidden(pic):
    """Zero the colour of fully transparent pixels so outputs are reproducible."""
    px = pic.rgba
    for i in range(0, len(px), 4):
        if px[i + 3] == 0:
            px[i:i + 3] = b"\0\0\0"


def append(pictures):
    """Puts pictures of one height side by side (a picture-list strip)."""
    height = pictures[0].height
    if any(p.height != height for p in pictures):
        sys.exit("pictool: strip pictures differ in height")
    width = sum(p.width for p in pictures)
    out = bytearray()
    for y in range(height):
        for p in pictures:
            out += p.rgba[y * p.width * 4:(y + 1) * p.width * 4]
    return Picture(width, height, out)


def greyed(pic):
    """Disabled look: flat light greys, the same for every hue; alpha kept."""
    out = bytearray(pic.rgba)
    for i in range(0, len(out), 4):
        r, g, b, a = out[i:i + 4]
        if a == 0:
            continue
        # The lightest channel tells the white symbols from the coloured
        # bodies whatever their hue, so every body gets about the same grey.
        v = 168 + min(r, g, b) * 72 // 255  # 168 .. 240 (white)
        out[i:i + 3] = bytes((v, v, v))
    return Picture(pic.width, pic.height, out)


def opaque_background(pic, colour):
    """Composites onto a solid colour (for pictures shown without alpha)."""
    out = bytearray(pic.rgba)
    for i in range(0, len(out), 4):
        a = out[i + 3]
        for c in range(3):
            out[i + c] = (out[i + c] * a + colour[c] * (255 - a) + 127) // 255
        out[i + 3] = 255
    return Picture(pic.width, pic.height, out)


def bmp32_bytes(pic, with_file_header=True):
    rows = []
    for y in range(pic.height - 1, -1, -1):
        row = pic.rgba[y * pic.width * 4:(y + 1) * pic.width * 4]
        bgra = bytearray(len(row))
        bgra[0::4], bgra[1::4], bgra[2::4], bgra[3::4] = row[2::4], row[1::4], row[0::4], row[3::4]
        rows.append(bytes(bgra))
    bits = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, pic.width, pic.height, 1, 32, 0, len(bits), 3780, 3780, 0, 0)
    if not with_file_header:
        return info, bits
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(bits), 0, 0, 14 + len(info))
    return head + info + bits


def write_bmp32(pic, path):
    with open(path, "wb") as f:
        f.write(bmp32_bytes(pic))


def read_bmp(path):
    """Reads back the BMPs this tool writes (8 or 32 bits, BI_RGB, bottom-up)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        sys.exit(f"pictool: {path} is not a BMP")
    off, = struct.unpack_from("<I", data, 10)
    size, width, height, _, bpp, comp = struct.unpack_from("<IiiHHI", data, 14)
    if comp != 0 or height <= 0:
        sys.exit(f"pictool: {path}: only bottom-up BI_RGB is read")
    out = bytearray(width * height * 4)
    if bpp == 32:
        for y in range(height):
            src = off + (height - 1 - y) * width * 4
            row = data[src:src + width * 4]
            d = y * width * 4
            out[d:d + width * 4:4] = row[2::4]
            out[d + 1:d + width * 4:4] = row[1::4]
            out[d + 2:d + width * 4:4] = row[0::4]
            out[d + 3:d + width * 4:4] = row[3::4]
    elif bpp == 8:
        used, = struct.unpack_from("<I", data, 14 + 32)
        used = used or 256
        pal = [tuple(data[14 + size + 4 * i:14 + size + 4 * i + 3][::-1]) for i in range(used)]
        stride = (width + 3) & ~3
        for y in range(height):
            src = off + (height - 1 - y) * stride
            for x in range(width):
                r, g, b = pal[data[src + x]]
                out[(y * width + x) * 4:(y * width + x) * 4 + 4] = bytes((r, g, b, 255))
    else:
        sys.exit(f"pictool: {path}: {bpp} bits per pixel not read")
    return Picture(width, height, out)


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png_bytes(pic):
    raw = b"".join(b"\0" + bytes(pic.rgba[y * pic.width * 4:(y + 1) * pic.width * 4])
                   for y in range(pic.height))
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", pic.width, pic.height, 8, 6, 0, 0, 0))
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def indexed_png_bytes(width, height, palette, indexes):
    raw = b"".join(b"\0" + bytes(indexes[y * width:(y + 1) * width]) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0))
            + png_chunk(b"PLTE", b"".join(bytes(c) for c in palette))
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def write_png(pic, path):
    with open(path, "wb") as f:
        f.write(png_bytes(pic))


def hard_edges(pic):
    """Binary transparency: a pixel at least half covered keeps its colour
    fully opaque, the rest turns fully transparent. The colours of a
    straight-alpha rendering are already those of the shape at its edge, so
    no halo of a background colour appears."""
    out = bytearray(pic.rgba)
    for i in range(0, len(out), 4):
        if out[i + 3] >= 128:
            out[i + 3] = 255
        else:
            out[i:i + 4] = b"\0\0\0\0"
    return Picture(pic.width, pic.height, out)


def matted_edges(pic, matte, threshold=64):
    """Binary transparency with softened edges: a pixel covered at least
    threshold/255 becomes opaque, its colour blended with matte as far as it
    was not covered; the rest turns fully transparent. For pictures that can
    only be see-through or opaque (GIF frames) shown on light backgrounds of
    about the matte's colour, whose outline would otherwise be jagged."""
    out = bytearray(pic.rgba)
    for i in range(0, len(out), 4):
        a = out[i + 3]
        if a < threshold:
            out[i:i + 4] = b"\0\0\0\0"
            continue
        for c in range(3):
            out[i + c] = (out[i + c] * a + matte[c] * (255 - a) + 127) // 255
        out[i + 3] = 255
    return Picture(pic.width, pic.height, out)


def reduced_colours(pic, count):
    """The colours of an opaque picture reduced to at most count by
    ImageMagick (no dithering), one (r, g, b) per pixel."""
    tmp = f"/tmp/pictool-{id(pic)}.png"
    write_png(pic, tmp)
    raw = subprocess.run(["convert", tmp, "-alpha", "off", "+dither", "-colors", str(count), "-depth", "8",
                          "rgb:-"], check=True, capture_output=True).stdout
    subprocess.run(["rm", "-f", tmp], check=True)
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]


def lzw(indexes, min_code_size):
    """GIF's variable-length LZW, as data sub-blocks."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, bits, nbits = bytearray(), 0, 0
    size = min_code_size + 1

    def put(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    table = {(i,): i for i in range(clear)}
    put(clear)
    word = ()
    for index in indexes:
        longer = word + (index,)
        if longer in table:
            word = longer
            continue
        put(table[word])
        if len(table) + 2 < 4096:
            table[longer] = len(table) + 2
            if len(table) + 2 > (1 << size) and size < 12:
                size += 1
        else:
            put(clear)
            table = {(i,): i for i in range(clear)}
            size = min_code_size + 1
        word = (index,)
    if word:
        put(table[word])
    put(end)
    if nbits:
        out.append(bits & 0xFF)
    blocks = bytearray([min_code_size])
    for i in range(0, len(out), 255):
        blocks += bytes([len(out[i:i + 255])]) + out[i:i + 255]
    return bytes(blocks + b"\0")


def write_gif(frames, delay_cs, path):
    """A looping animation with one global palette whose index 0 is the
    see-through colour of every frame; each frame is whole (no offsets) and
    is cleared to the background before the next. Frames must have binary
    alpha (hard_edges or matted_edges)."""
    w, h = frames[0].width, frames[0].height
    strip = append(frames)
    colours = reduced_colours(opaque_background(strip, (255, 255, 255)), 255)
    palette = sorted(set(c for i, c in enumerate(colours) if strip.rgba[i * 4 + 3]))
    index = {c: n + 1 for n, c in enumerate(palette)}
    table = bytes(3) + b"".join(bytes(c) for c in palette)
    table += bytes(3 * 256 - len(table))
    gif = bytearray(b"GIF89a" + struct.pack("<HHBBB", w, h, 0xF7, 0, 0) + table)
    gif += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\0\0\0"  # loop for ever
    for n in range(len(frames)):
        indexes = []
        for y in range(h):
            for x in range(w):
                i = y * strip.width + n * w + x
                indexes.append(index[colours[i]] if strip.rgba[i * 4 + 3] else 0)
        gif += b"\x21\xF9\x04" + struct.pack("<BHB", (2 << 2) | 1, delay_cs, 0) + b"\0"
        gif += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0) + lzw(indexes, 8)
    gif += b"\x3B"
    with open(path, "wb") as f:
        f.write(gif)


def write_ico(entries, path):
    """entries: list of (size, Picture). Sizes of 256 are stored as PNG."""
    blobs = []
    for size, pic in entries:
        if (pic.width, pic.height) != (size, size):
            sys.exit(f"pictool: icon entry is {pic.width}x{pic.height}, expected {size}")
        if size >= 256:
            blobs.append(png_bytes(pic))
            continue
        info, xor = bmp32_bytes(pic, with_file_header=False)
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for y in range(size - 1, -1, -1):
            row = bytearray(stride)
            for x in range(size):
                if pic.rgba[(y * size + x) * 4 + 3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        blobs.append(info + xor + bytes(mask))
    head = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    directory = b""
    for (size, _), blob in zip(entries, blobs):
        dim = 0 if size >= 256 else size
        directory += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(head + directory + b"".join(blobs))


def read_ico(path):
    """Gives [(size, Picture)] of an .ico written by write_ico."""
    with open(path, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1:
        sys.exit(f"pictool: {path} is not an icon")
    out = []
    for n in range(count):
        w, h, _, _, _, bpp, length, off = struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        blob = data[off:off + length]
        size = w or 256
        if blob[:8] == b"\x89PNG\r\n\x1a\n":
            tmp = f"{path}.{n}.png"
            with open(tmp, "wb") as f:
                f.write(blob)
            pic = load(tmp)
            subprocess.run(["rm", "-f", tmp], check=True)
        else:
            if bpp != 32:
                sys.exit(f"pictool: {path}: entry {n} is not 32-bit")
            pixels = bytearray(size * size * 4)
            for y in range(size):
                src = 40 + (size - 1 - y) * size * 4
                row = blob[src:src + size * 4]
                d = y * size * 4
                pixels[d:d + size * 4:4] = row[2::4]
                pixels[d + 1:d + size * 4:4] = row[1::4]
                pixels[d + 2:d + size * 4:4] = row[0::4]
                pixels[d + 3:d + size * 4:4] = row[3::4]
            pic = Picture(size, size, pixels)
        out.append((size, pic))
    return out


def popup_png(pic, path, white_box, figure_box):
    """Palette PNG artwork for the colour-keyed popup window.

    Pixels at least half covered become opaque and keep their colour; the
    rest become exactly fuchsia. Colours are reduced to 255 by ImageMagick
    (no dithering), near-white snaps to pure white, and no opaque pixel may
    equal the key. Checks the label area and the figure's bounds."""
    pic = hard_edges(pic)
    tmp = path + ".tmp.png"
    write_png(opaque_background(pic, (255, 255, 255)), tmp)
    reduced = subprocess.run(["convert", tmp, "-alpha", "off", "+dither", "-colors", "255",
                              "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    subprocess.run(["rm", "-f", tmp], check=True)
    w, h = pic.width, pic.height
    colours = []
    for i in range(w * h):
        if pic.rgba[i * 4 + 3] == 0:
            colours.append(FUCHSIA)
            continue
        c = tuple(reduced[i * 3:i * 3 + 3])
        if min(c) >= 250:
            c = (255, 255, 255)
        if c == FUCHSIA:
            c = (254, 0, 254)
        colours.append(c)
    palette = [FUCHSIA, (255, 255, 255)]
    palette += sorted(set(colours) - set(palette))
    if len(palette) > 256:
        sys.exit(f"pictool: popup needs {len(palette)} colours")
    index = {c: n for n, c in enumerate(palette)}

    x0, y0, x1, y1 = white_box
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if colours[y * w + x] != (255, 255, 255):
                sys.exit(f"pictool: popup pixel ({x}, {y}) behind the labels is not white")
    fx0, fy0, fx1, fy1 = figure_box
    for y in range(h):
        for x in range(w):
            inside = fx0 <= x <= fx1 and fy0 <= y <= fy1
            if not inside and colours[y * w + x] != FUCHSIA:
                sys.exit(f"pictool: popup pixel ({x}, {y}) lies outside the figure's bounds")

    with open(path, "wb") as f:
        f.write(indexed_png_bytes(w, h, palette, [index[c] for c in colours]))
    return len(palette)


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    cmd, args = argv[1], argv[2:]
    if cmd == "strip":           # strip OUT.bmp [--grey] IN.png...
        out, grey = args[0], args[1] == "--grey"
        pics = [load(p) for p in args[2 if grey else 1:]]
        strip = append(pics)
        write_bmp32(greyed(strip) if grey else strip, out)
    elif cmd == "bmp32":         # bmp32 OUT.bmp IN.png [--opaque RRGGBB]
        pic = load(args[1])
        if len(args) > 3 and args[2] == "--opaque":
            pic = opaque_background(pic, bytes.fromhex(args[3]))
        write_bmp32(pic, args[0])
    elif cmd == "ico":           # ico OUT.ico SIZE:IN.png...
        entries = []
        for entry in args[1:]:
            size, src = entry.split(":", 1)
            entries.append((int(size), load(src)))
        write_ico(entries, args[0])
    elif cmd == "hard":          # hard OUT.png IN.png [RRGGBB]  (binary alpha, for GIF frames)
        pic = load(args[1])
        write_png(matted_edges(pic, bytes.fromhex(args[2])) if len(args) > 2 else hard_edges(pic), args[0])
    elif cmd == "gif":           # gif OUT.gif DELAY_CS IN.png...  (binary alpha frames)
        write_gif([load(p) for p in args[2:]], int(args[1]), args[0])
    elif cmd == "png":           # png OUT.png IN.png   (straight alpha, no ancillary chunks)
        write_png(load(args[1]), args[0])
    elif cmd == "popup":         # popup OUT.png IN.png x0,y0,x1,y1 x0,y0,x1,y1
        white = tuple(map(int, args[2].split(",")))
        figure = tuple(map(int, args[3].split(",")))
        n = popup_png(load(args[1]), args[0], white, figure)
        print(f"popup: {n} palette colours")
    elif cmd == "topng":         # topng OUT.png IN.bmp   (reads our BMPs back)
        write_png(read_bmp(args[1]), args[0])
    elif cmd == "icopng":        # icopng OUTPREFIX IN.ico -> OUTPREFIX-SIZE.png
        for size, pic in read_ico(args[1]):
            write_png(pic, f"{args[0]}-{size}.png")
    else:
        sys.exit(f"pictool: unknown command {cmd}")


if __name__ == "__main__":
    main(sys.argv)
