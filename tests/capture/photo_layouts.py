#!/usr/bin/env python3
"""Writes photos in the layouts some makers leave, from the ones ImageMagick
and exiftool made in OUTDIR, byte by byte:
  - JPEGs with 90 and 150 KiB of APP segments of a phone's own before the
    Exif one (Huawei, Motorola);
  - a Fujifilm RAF: its header, pointing at the embedded JPEG that holds the
    EXIF;
  - a PNG with its EXIF in ImageMagick's "Raw profile type exif" tEXt chunk
    instead of an eXIf chunk.
    photo_layouts.py OUTDIR
"""
import struct
import sys
import zlib
from pathlib import Path


def app_segments(total):
    """APP2 segments of total bytes in all, markers and lengths counted."""
    out = b""
    while total > 0:
        size = min(total, 2 + 65535)
        out += b"\xff\xe2" + struct.pack(">H", size - 2) + b"c" * (size - 4)
        total -= size
    return out


def raf(jpeg):
    """RAF's header: magic, version, camera ID and name, then at byte 84 the
    embedded JPEG's offset and length; the JPEG after the 0x94-byte header."""
    header = b"FUJIFILMCCD-RAW " + b"0201" + b"FF129502" + b"X-T3".ljust(32, b"\0")
    header += b"0100" + bytes(20)
    assert len(header) == 84
    offset = 0x94 + 12
    header += struct.pack(">II", offset, len(jpeg)) + bytes(0x94 - 92)
    return header + bytes(12) + jpeg


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def raw_profile_png(png):
    """The eXIf chunk written again as "Raw profile type exif": a line with
    the name, one with the length, then the bytes in hex, 72 digits a line."""
    out, at = png[:8], 8
    while at < len(png):
        (length,) = struct.unpack(">I", png[at:at + 4])
        kind, data = png[at + 4:at + 8], png[at + 8:at + 8 + length]
        if kind == b"eXIf":
            exif = b"Exif\0\0" + data
            digits = exif.hex()
            lines = "\n".join(digits[i:i + 72] for i in range(0, len(digits), 72))
            text = "\nexif\n%8d\n%s\n" % (len(exif), lines)
            out += png_chunk(b"tEXt", b"Raw profile type exif\0" + text.encode())
        elif not (kind == b"tEXt" and data.startswith(b"exif:")):
            out += png[at:at + 12 + length]
        at += 12 + length
    return out


def main():
    out = Path(sys.argv[1])
    jpeg = (out / "jpeg-offset.jpg").read_bytes()
    for kib in (90, 150):
        (out / f"jpeg-app-segments-{kib}k.jpg").write_bytes(
            jpeg[:2] + app_segments(kib * 1024) + jpeg[2:])
    (out / "raf-embedded-jpeg.raf").write_bytes(raf((out / "jpeg-subsec.jpg").read_bytes()))
    (out / "png-raw-profile-text.png").write_bytes(
        raw_profile_png((out / "png-plain.png").read_bytes()))


if __name__ == "__main__":
    main()
