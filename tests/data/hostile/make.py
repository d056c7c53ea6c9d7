#!/usr/bin/env python3
"""Writes the hostile-disc corpus next to this file from the fuzz seeds.

For every reader: a truncated file, one whose declared sizes exceed the file, an empty one, one
of a version the reader does not know and one with bits flipped at fixed places. Run it again
after changing a seed; the output is the same bytes every time (no clocks, fixed flips).
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SEEDS = os.path.join(HERE, "..", "..", "..", "fuzz", "corpus")


def seed(path):
    with open(os.path.join(SEEDS, path), "rb") as f:
        return bytearray(f.read())


def put32(data, offset, value):
    data[offset:offset + 4] = struct.pack("<I", value & 0xFFFFFFFF)
    return data


def put16(data, offset, value):
    data[offset:offset + 2] = struct.pack("<H", value & 0xFFFF)
    return data


def get32(data, offset):
    return struct.unpack_from("<I", data, offset)[0]


def flipped(data, start, count=6):
    """count single-bit flips spread over data from start on, at places fixed by the length."""
    out = bytearray(data)
    span = max(1, len(out) - start)
    for i in range(count):
        at = start + (i * 2654435761 % span)
        out[at] ^= 1 << (i % 8)
    return out


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), "wb") as f:
        f.write(bytes(data))


def picture_tables(dem):
    """Offsets of the palette and the true-colour picture tables of a description file."""
    def text(at):
        return at + 4 + get32(dem, at)
    at = 8 + get32(dem, 4) + 4           # signature, reserved block, category
    at = text(text(at))                  # title, subtitle
    at += 12 + get32(dem, at) + get32(dem, at + 4)  # description and trailing block
    at = text(text(at + 1))              # runs-from-disc flag, main command, folder
    at = text(at + 1)                    # root-relative flag, direct command
    at = text(at + 1) + 1                # must-close flag, how-to, reserved byte
    at += 4 + get32(dem, at) + 2         # reserved block, has-logo flag, palette count
    palette = at + 4
    at += 4 + get32(dem, at) + 1         # palette table, true-colour count
    return [palette, at + 4]


def description_files():
    base = seed("dem/full.dem")
    write("dem", "truncated-texts.dem", base[:0x40])
    write("dem", "truncated-pictures.dem", base[:0xE0])  # inside the second palette picture
    # Title length far beyond the file; a second one with a picture reaching past the end.
    write("dem", "oversized-title.dem", put32(bytearray(base), 12, 0x7FFFFFF0))
    pictures = bytearray(base)
    for table in picture_tables(base):  # the first picture of each set: size swollen
        put32(pictures, table + 4, 0x7FFFFF00)
    write("dem", "oversized-picture.dem", pictures)
    write("dem", "empty.dem", b"")
    write("dem", "version.dem", put32(bytearray(base), 0, 208))
    write("dem", "flipped.dem", flipped(base, 0x60))


def bmr_containers():
    base = seed("bmr/skin.bmr")
    header = get32(base, 4)
    count_at = 8 + header
    count = get32(base, count_at)
    at = count_at + 4
    for _ in range(count):
        at += 4 + get32(base, at)
    directory = at
    write("bmr", "truncated.bmr", base[:directory + 4])
    oversized = bytearray(base)
    put32(oversized, directory + 4, 0x7FFFFFF0)  # first bitmap's size
    write("bmr", "oversized.bmr", oversized)
    write("bmr", "oversized-count.bmr", put32(bytearray(base), count_at, 0x10000000))
    write("bmr", "empty.bmr", b"")
    write("bmr", "version.bmr", put32(bytearray(base), 0, 101))
    write("bmr", "flipped.bmr", flipped(base, 0))


def bpk_animations():
    base = seed("bpk/three.bpk")
    write("bpk", "truncated.bpk", base[:len(base) // 2])
    write("bpk", "oversized-frame.bpk", put32(bytearray(base), 8, 0x7FFFFFF0))
    write("bpk", "oversized-count.bpk", put32(bytearray(base), 4, 0x0FFFFFFF))
    write("bpk", "empty.bpk", b"")
    write("bpk", "version.bpk", put32(bytearray(base), 0, 111))
    write("bpk", "flipped.bpk", flipped(base, 32))


def bitmaps():
    base = seed("bitmap/indexed16.bmp")
    write("bmp", "truncated.bmp", base[:100])
    oversized = bytearray(base)
    put32(oversized, 2, 0x7FFFFFF0)
    put32(oversized, 18, 0x4000)
    put32(oversized, 22, 0x4000)
    write("bmp", "oversized.bmp", oversized)
    write("bmp", "empty.bmp", b"")
    write("bmp", "version.bmp", put32(bytearray(base), 14, 0x99))
    write("bmp", "flipped.bmp", flipped(base, 0, 8))


def waves():
    base = seed("wave_loader/seed-mono-11k.wav")
    data = base.find(b"data")
    write("wave", "truncated.wav", base[:30])
    write("wave", "oversized.wav", put32(bytearray(base), data + 4, 0x7FFFFFF0))
    write("wave", "empty.wav", b"")
    write("wave", "version.wav", put16(bytearray(base), 20, 0x55))
    write("wave", "flipped.wav", flipped(base, 0, 8))


def jpegs():
    base = seed("jpeg/small.jpg")
    sof = base.find(b"\xff\xc0")
    write("jpeg", "truncated.jpg", base[:sof + 8])
    oversized = bytearray(base)
    oversized[sof + 5:sof + 9] = b"\xff\xff\xff\xff"  # 65535 x 65535 from a few hundred bytes
    write("jpeg", "oversized.jpg", oversized)
    write("jpeg", "empty.jpg", b"")
    version = bytearray(base)
    version[sof + 1] = 0xC3  # lossless process
    write("jpeg", "version.jpg", version)
    write("jpeg", "flipped.jpg", flipped(base, 0, 8))


def metafiles():
    base = seed("metafile/placeable.wmf")
    write("wmf", "truncated.wmf", base[:30])
    oversized = bytearray(base)
    put32(oversized, 22 + 6, 0x7FFFFFF0)  # mtSize in words
    put32(oversized, 22 + 18, 0x7FFFFFF0)  # the first record's size
    write("wmf", "oversized.wmf", oversized)
    write("wmf", "empty.wmf", b"")
    write("wmf", "version.wmf", put16(bytearray(base), 22 + 4, 0x0999))
    write("wmf", "flipped.wmf", flipped(base, 0, 8))


def videos():
    base = seed("avi/vinheta-head.avi")
    write("avi", "truncated.avi", base[:0x80])
    oversized = bytearray(base)
    put32(oversized, 4, 0x7FFFFFF0)
    strf = base.find(b"strf") + 8  # the video stream's bitmap header: width and height
    put32(oversized, strf + 4, 0x10000)
    put32(oversized, strf + 8, 0x10000)
    write("avi", "oversized.avi", oversized)
    write("avi", "empty.avi", b"")
    version = bytearray(base.replace(b"MSVC", b"QXQX"))
    write("avi", "version.avi", version)
    write("avi", "flipped.avi", flipped(base, 0, 12))


def programs():
    base = seed("pe_version/pe32_v3")
    write("pe", "truncated.exe", base[:0x150])
    # The resource section claims more than the file: what the file holds is still read.
    section = bytearray(base)
    put32(section, 0x140, 0x7FFFFFF0)
    put32(section, 0x148, 0x7FFFFFF0)
    write("pe", "oversized-section.exe", section)
    # The version resource claims more than the file.
    key = base.find("VS_VERSION_INFO".encode("utf-16-le"))
    block = key - 6
    rva = 0x1000 + block - 0x200  # the seed's one section: address 0x1000 at file offset 0x200
    entry = base.find(struct.pack("<II", rva, struct.unpack_from("<H", base, block)[0]))
    if key < 0 or entry < 0:
        sys.exit("pe seed without a version resource entry")
    write("pe", "oversized.exe", put32(bytearray(base), entry + 4, 0x7FFFFFF0))
    write("pe", "empty.exe", b"")
    version = bytearray(base)
    at = version.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        sys.exit("pe seed without fixed version information")
    put32(version, at, 0xFEEF04BE)
    write("pe", "version.exe", version)
    write("pe", "flipped.exe", flipped(base, 0x40, 8))


if __name__ == "__main__":
    description_files()
    bmr_containers()
    bpk_animations()
    bitmaps()
    waves()
    jpegs()
    metafiles()
    videos()
    programs()
