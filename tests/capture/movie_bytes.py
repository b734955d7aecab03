#!/usr/bin/env python3
"""Writes small movie files box by box: the layouts a camera or a phone
leaves (the movie header at the end behind the media data, 64-bit sizes, a
last box running to the end, Apple's creation date in the metadata, Unix
time in the movie header).
    movie_bytes.py OUTDIR
"""
import struct
import sys
from pathlib import Path


def box(kind, body):
    return struct.pack(">I", 8 + len(body)) + kind + body


def large_box(kind, body):
    """A box with a 64-bit size (size field 1)."""
    return struct.pack(">I", 1) + kind + struct.pack(">Q", 16 + len(body)) + body


def to_end_box(kind, body):
    """A box with size 0: it runs to the end of the file."""
    return struct.pack(">I", 0) + kind + body


def mvhd(created, version=0):
    matrix = struct.pack(">9I", 0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000)
    if version == 0:
        times = struct.pack(">IIII", created, created, 1000, 0)
    else:
        times = struct.pack(">QQIQ", created, created, 1000, 0)
    rest = struct.pack(">IH", 0x10000, 0x100) + bytes(10) + matrix + bytes(24) + struct.pack(">I", 2)
    return box(b"mvhd", bytes([version, 0, 0, 0]) + times + rest)


def quicktime_meta(keys_and_values):
    """moov/meta as QuickTime writes it: hdlr "mdta", keys, ilst."""
    hdlr = box(b"hdlr", bytes(4) + b"\0\0\0\0mdta" + bytes(12) + b"\0")
    keys = bytes(4) + struct.pack(">I", len(keys_and_values))
    items = b""
    for index, (key, value) in enumerate(keys_and_values, start=1):
        keys += struct.pack(">I", 8 + len(key)) + b"mdta" + key
        data = box(b"data", struct.pack(">II", 1, 0) + value)
        items += box(struct.pack(">I", index), data)
    return box(b"meta", hdlr + box(b"keys", keys) + box(b"ilst", items))


# Seconds since 1904-01-01 UTC of 2021-03-31 01:46:40 and of 2100-01-01 00:00:00.
CREATED_2021 = 3_700_000_000
CREATED_2100 = 6_185_289_600
# Seconds since 1970-01-01 UTC of 2021-03-04 05:06:07, as some encoders write
# them into the movie header.
UNIX_2021 = 1_614_834_367

MP4 = box(b"ftyp", b"isom" + struct.pack(">I", 0x200) + b"isommp41")
QT = box(b"ftyp", b"qt  " + struct.pack(">I", 0x200) + b"qt  ")
MEDIA = bytes(range(256)) * 16


def main():
    out = Path(sys.argv[1])
    files = {
        # The movie header at the end, behind the media data.
        "mp4-mvhd-v0-moov-at-end.mp4": MP4 + box(b"mdat", MEDIA) + box(b"moov", mvhd(CREATED_2021)),
        # A 64-bit media data size, then a version-1 header with 64-bit times.
        "mp4-mvhd-v1-large-mdat.mp4":
            MP4 + large_box(b"mdat", MEDIA) + box(b"moov", mvhd(CREATED_2100, version=1)),
        # The media data last, running to the end of the file.
        "mp4-mdat-to-end.mp4": MP4 + box(b"moov", mvhd(CREATED_2021)) + to_end_box(b"mdat", MEDIA),
        # A creation time of 0: no time.
        "mov-mvhd-zero.mov": QT + box(b"moov", mvhd(0)) + box(b"mdat", MEDIA),
        # Apple's creation date, second of two keys, in a movie header at the end.
        "mov-creationdate-offset-at-end.mov": QT + box(b"mdat", MEDIA) + box(
            b"moov",
            mvhd(CREATED_2021)
            + quicktime_meta([(b"com.apple.quicktime.make", b"Apple"),
                              (b"com.apple.quicktime.creationdate", b"2021-03-04T05:06:07+0900")])),
        # Without an offset: a wall time.
        "mp4-creationdate-no-offset.mp4": MP4 + box(
            b"moov",
            mvhd(CREATED_2021)
            + quicktime_meta([(b"com.apple.quicktime.creationdate", b"2019-12-31T23:59:58")]))
            + box(b"mdat", MEDIA),
        # Unix time in the movie header.
        "mp4-mvhd-1970-based.mp4": MP4 + box(b"moov", mvhd(UNIX_2021)) + box(b"mdat", MEDIA),
        # The bases exiftool writes the creation date and Android's date into.
        "mp4-userdata-date.mp4": MP4 + box(b"mdat", MEDIA) + box(b"moov", mvhd(CREATED_2021)),
        "mov-creationdate-subsec.mov": QT + box(b"mdat", MEDIA) + box(b"moov", mvhd(CREATED_2021)),
        "mp4-creationdate-negative-offset.mp4": MP4 + box(b"mdat", MEDIA) + box(b"moov", mvhd(CREATED_2021)),
    }
    for name, data in files.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()
