#!/usr/bin/env python3
"""A second, independent reader and writer of the station's backup archive,
written from the format's description alone, to check the component against.

  archive_tool.py read ARCHIVE OUTDIR     every file to OUTDIR + its stored path, from
                                          the parts beside ARCHIVE (ARCHIVE.002, ...);
                                          prints "name<TAB>date<TAB>size" per entry,
                                          "part<TAB>N" per part switch and
                                          "id<TAB>path<TAB>date and time<TAB>size" per
                                          line of the identity list
  archive_tool.py write ARCHIVE PARTCHUNKS STORED=SOURCE...
                                          chunks alternate compressed and raw;
                                          a new part after PARTCHUNKS chunks (0: none)
"""
import os
import struct
import sys
import zlib

MARKER = b"EC2\0"
CHUNK = 16384


class Parts:
    def __init__(self, path):
        self.path = path
        self.f = open(path, "rb")

    def read(self, n):
        data = self.f.read(n)
        if len(data) != n:
            raise SystemExit("cut archive")
        return data

    def int32(self):
        return struct.unpack("<i", self.read(4))[0]

    def next_part(self, digits):
        self.f.close()
        base = os.path.splitext(self.path)[0]
        self.f = open(base + "." + digits, "rb")


def read_block(parts, out):
    if parts.read(4) != MARKER:
        raise SystemExit("no block marker")
    while True:
        n = parts.int32()
        if n == 0:
            return
        data = parts.read(abs(n))
        out.append(zlib.decompress(data) if n > 0 else data)


def read(archive, outdir):
    parts = Parts(archive)
    title = parts.read(parts.int32()).decode("cp1250")
    total, count = parts.int32(), parts.int32()
    print("title\t%s\t%d\t%d" % (title, total, count))
    content = None
    while True:
        n = parts.int32()
        if n == 0:
            break
        name = parts.read(n)
        if name.startswith(b"NEXT:DISK"):
            print("part\t%d" % int(name[9:]))
            parts.next_part(name[9:].decode())
            read_block(parts, content)
            continue
        date = parts.int32()
        content = []
        entries.append((name, date, content))
        read_block(parts, content)
    for name, date, content in entries:
        data = b"".join(content)
        print("%s\t%d\t%d" % (name.decode("cp1250"), date, len(data)))
        if name == b"FILE:LIST":
            target = os.path.join(outdir, "FILE:LIST")
        else:
            target = os.path.join(outdir, name.decode("cp1250").lstrip("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)
        if name == b"FILE:LIST":
            print_identities(data)


def dos_date_text(value):
    """The packed date and time of a signed 32-bit integer."""
    if not -2**31 <= value < 2**31:
        raise SystemExit("date %d is no signed 32-bit integer" % value)
    v = value & 0xFFFFFFFF
    return "%04d-%02d-%02d %02d:%02d:%02d" % (
        1980 + (v >> 25), v >> 21 & 0xF, v >> 16 & 0x1F, v >> 11 & 0x1F, v >> 5 & 0x3F, (v & 0x1F) * 2)


def print_identities(data):
    for line in data.decode("cp1250").split("\r\n"):
        if not line:
            continue
        path, rest = line.rsplit("\t", 1)
        date, size = rest.split("=")
        print("id\t%s\t%s\t%d" % (path, dos_date_text(int(date)), int(size)))


class Writer:
    def __init__(self, archive, part_chunks):
        self.archive = archive
        self.part_chunks = part_chunks
        self.part = 1
        self.chunks_in_part = 0
        self.f = open(archive, "wb")

    def int32(self, v):
        self.f.write(struct.pack("<i", v))

    def entry(self, name, date, data):
        self.int32(len(name))
        self.f.write(name)
        self.f.write(struct.pack("<I", date))
        self.f.write(MARKER)
        for i, start in enumerate(range(0, len(data), CHUNK)):
            if self.part_chunks and self.chunks_in_part == self.part_chunks:
                self.int32(0)
                self.part += 1
                switch = b"NEXT:DISK%03d" % self.part
                self.int32(len(switch))
                self.f.write(switch)
                self.f.close()
                self.f = open(os.path.splitext(self.archive)[0] + ".%03d" % self.part, "wb")
                self.f.write(MARKER)
                self.chunks_in_part = 0
            piece = data[start:start + CHUNK]
            packed = zlib.compress(piece, 9)
            # a stream must fit into 16384 bytes, else the chunk goes raw
            if i % 2 == 0 and len(packed) <= CHUNK:
                self.int32(len(packed))
                self.f.write(packed)
            else:
                self.int32(-len(piece))
                self.f.write(piece)
            self.chunks_in_part += 1
        self.int32(0)


def write(archive, part_chunks, pairs):
    files = []
    for pair in pairs:
        stored, source = pair.split("=", 1)
        with open(source, "rb") as f:
            files.append((stored.encode("cp1250"), f.read()))
    w = Writer(archive, part_chunks)
    title = "ruční archiv".encode("cp1250")
    w.int32(len(title))
    w.f.write(title)
    w.int32(sum(len(d) for _, d in files))
    w.int32(len(files))
    # 9 December 2026, 14:03:20
    date = (46 << 25) | (12 << 21) | (9 << 16) | (14 << 11) | (3 << 5) | 10
    for stored, data in files:
        w.entry(stored, date, data)
    w.int32(0)
    w.f.close()


entries = []
if __name__ == "__main__":
    if sys.argv[1] == "read":
        read(sys.argv[2], sys.argv[3])
    elif sys.argv[1] == "write":
        write(sys.argv[2], int(sys.argv[3]), sys.argv[4:])
    else:
        raise SystemExit(__doc__)
