#!/usr/bin/env python3
"""Lists an exFAT folder's entries in the order they stand on disk.

Usage: exfat_order.py <image> <folder>    (folder: "/" or "/album/disc 1")

Prints one name per line, UTF-8. A reader of the image itself, outside the
program and outside the FUSE driver, whose listing puts the entries made since
it mounted first. Offsets and flags as Microsoft documents exFAT (boot sector:
section 3.1; directory entries: sections 6 and 7).
"""

import struct
import sys

ENTRY = 32
END_OF_DIRECTORY = 0x00
FILE = 0x85  # File directory entry: SecondaryCount at 1
# Stream extension: flags at 1, NameLength at 3, FirstCluster at 20, DataLength at 24.
STREAM = 0xC0
NAME = 0xC1  # File name: 15 UTF-16LE units from offset 2
NO_FAT_CHAIN = 0x02  # bit 1 of the stream extension's flags: the clusters are contiguous


class Volume:
    def __init__(self, image):
        self.image = image
        boot = self.read(0, 512)
        if boot[3:11] != b"EXFAT   ":
            raise SystemExit("exfat_order: not an exFAT image")
        fat_offset, = struct.unpack_from("<I", boot, 80)
        heap_offset, = struct.unpack_from("<I", boot, 88)
        self.root_cluster, = struct.unpack_from("<I", boot, 96)
        self.sector = 1 << boot[108]  # BytesPerSectorShift
        self.cluster = self.sector << boot[109]  # SectorsPerClusterShift
        self.fat = fat_offset * self.sector
        self.heap = heap_offset * self.sector

    def read(self, offset, length):
        self.image.seek(offset)
        return self.image.read(length)

    def chain(self, first, length, contiguous):
        """The clusters of a stream: contiguous ones, or the FAT's chain."""
        if contiguous:
            return range(first, first + (length + self.cluster - 1) // self.cluster)
        clusters = []
        cluster = first
        while 2 <= cluster < 0xFFFFFFF7:  # 0xFFFFFFF7 is a bad cluster, above it the chain's end
            clusters.append(cluster)
            cluster, = struct.unpack("<I", self.read(self.fat + 4 * cluster, 4))
        return clusters

    def data(self, first, length=None, contiguous=False):
        clusters = self.chain(first, length or 0, contiguous)
        data = b"".join(self.read(self.heap + (c - 2) * self.cluster, self.cluster)
                        for c in clusters)
        return data if length is None else data[:length]

    def entries(self, directory):
        """(name, stream extension) of each file set in use, in on-disk order."""
        at = 0
        while at + ENTRY <= len(directory):
            kind = directory[at]
            if kind == END_OF_DIRECTORY:
                return
            # Bitmap, up-case table, label; a deleted set has its in-use bit (0x80)
            # clear, so its File entry reads 0x05.
            if kind != FILE:
                at += ENTRY
                continue
            count = directory[at + 1]
            secondaries = [directory[at + ENTRY * k:at + ENTRY * (k + 1)]
                           for k in range(1, count + 1)]
            stream = secondaries[0]
            if stream[0] != STREAM:
                raise SystemExit(f"exfat_order: a file entry at {at} lacks its stream extension")
            text = b"".join(e[2:32] for e in secondaries[1:] if e[0] == NAME)
            yield text.decode("utf-16-le")[:stream[3]], stream
            at += ENTRY * (count + 1)

    def folder(self, path):
        """The raw entries of the folder at path, "/" being the root."""
        directory = self.data(self.root_cluster)
        for part in [p for p in path.split("/") if p]:
            for name, stream in self.entries(directory):
                if name == part:
                    first, length = struct.unpack_from("<IQ", stream, 20)
                    directory = self.data(first, length, bool(stream[1] & NO_FAT_CHAIN))
                    break
            else:
                raise SystemExit(f"exfat_order: no {part!r} in {path!r}")
        return directory


def main():
    if len(sys.argv) != 3:
        raise SystemExit("usage: exfat_order.py <image> <folder>")
    with open(sys.argv[1], "rb") as image:
        volume = Volume(image)
        for name, _ in volume.entries(volume.folder(sys.argv[2])):
            sys.stdout.buffer.write(name.encode("utf-8") + b"\n")


if __name__ == "__main__":
    main()
