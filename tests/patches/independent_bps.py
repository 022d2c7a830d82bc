#!/usr/bin/env python3
"""A BPS applier and a BPS creator written from the format's description alone, sharing nothing
with the C++ code, so that each side can be checked against the other.

    independent_bps.py apply SOURCE PATCH OUT      exit 0 written; 1 the patch is refused
    independent_bps.py create SOURCE TARGET OUT    a patch using all four actions
    independent_bps.py pair SEED SOURCE TARGET     writes a random pair of ROM-like files
    independent_bps.py edit SEED ROM OUT START END  ROM changed only in [START, END) and grown
    independent_bps.py actions PATCH               prints how many actions of each kind it holds

The format: "BPS1", source size, target size, metadata size (variable-length numbers), the
metadata, then actions until 12 bytes before the end, then the CRC-32 of the source, the target
and the patch before its last four bytes, little-endian. A number is read 7 bits a byte, lowest
first, until a byte with the top bit set; every byte before that one adds its weight once more.
An action is one number: its kind in the low two bits (0 SourceRead, 1 TargetRead, 2 SourceCopy,
3 TargetCopy) and its length minus one above them. The copies are followed by a number whose
low bit is the sign of the move of their own read position and whose other bits its size."""

import random
import struct
import sys
import zlib


def read_number(data, at):
    value, shift = 0, 1
    while True:
        if at >= len(data):
            raise ValueError("number runs past the end")
        byte = data[at]
        at += 1
        value += (byte & 0x7F) * shift
        if byte & 0x80:
            return value, at
        shift <<= 7
        value += shift


def write_number(value):
    out = bytearray()
    while True:
        low = value & 0x7F
        value >>= 7
        if value == 0:
            out.append(0x80 | low)
            return bytes(out)
        out.append(low)
        value -= 1


def apply(source, patch):
    if patch[:4] != b"BPS1" or len(patch) < 19:
        raise ValueError("not a BPS patch")
    source_crc, target_crc, patch_crc = struct.unpack("<III", patch[-12:])
    if zlib.crc32(patch[:-4]) != patch_crc:
        raise ValueError("patch checksum")
    if zlib.crc32(source) != source_crc:
        raise ValueError("source checksum")
    at = 4
    source_size, at = read_number(patch, at)
    target_size, at = read_number(patch, at)
    metadata_size, at = read_number(patch, at)
    at += metadata_size
    if source_size != len(source):
        raise ValueError("source size")
    end = len(patch) - 12
    target = bytearray()
    source_copy = target_copy = 0
    while at < end:
        word, at = read_number(patch, at)
        kind, length = word & 3, (word >> 2) + 1
        if kind == 0:
            target += source[len(target):len(target) + length]
        elif kind == 1:
            target += patch[at:at + length]
            at += length
        else:
            move, at = read_number(patch, at)
            delta = -(move >> 1) if move & 1 else move >> 1
            if kind == 2:
                source_copy += delta
                if source_copy < 0 or source_copy + length > len(source):
                    raise ValueError("source copy out of bounds")
                target += source[source_copy:source_copy + length]
                source_copy += length
            else:
                target_copy += delta
                if target_copy < 0 or target_copy >= len(target):
                    raise ValueError("target copy out of bounds")
                for _ in range(length):
                    target.append(target[target_copy])
                    target_copy += 1
    if at != end or len(target) != target_size:
        raise ValueError("actions do not make the target")
    if zlib.crc32(bytes(target)) != target_crc:
        raise ValueError("target checksum")
    return bytes(target)


def count_actions(patch):
    at = 4
    for _ in range(3):
        size, at = read_number(patch, at)
    at += size
    counts = {"SourceRead": 0, "TargetRead": 0, "SourceCopy": 0, "TargetCopy": 0}
    names = list(counts)
    while at < len(patch) - 12:
        word, at = read_number(patch, at)
        counts[names[word & 3]] += 1
        if word & 3 == 1:
            at += (word >> 2) + 1
        elif word & 3 >= 2:
            _, at = read_number(patch, at)
    return counts


def create(source, target):
    """Greedy and simple: SourceRead where the files agree, a run of one byte as a TargetCopy from
    the byte before, a copy of 32 bytes or more found at a sampled source position as a
    SourceCopy, and everything else as TargetRead."""
    sample = 16
    index = {}
    for p in range(0, len(source) - 32 + 1, sample):
        index.setdefault(source[p:p + 32], p)
    actions = bytearray()
    literal = bytearray()
    source_copy = target_copy = 0

    def flush():
        nonlocal literal
        if literal:
            actions.extend(write_number(((len(literal) - 1) << 2) | 1))
            actions.extend(literal)
            literal = bytearray()

    def move(position, start):
        delta = start - position
        return write_number((abs(delta) << 1) | (1 if delta < 0 else 0))

    def agreeing(i):
        """How many bytes from i the two files agree on, compared a block at a time."""
        limit = min(len(source), len(target))
        same = 0
        step = 4096
        while step:
            while i + same + step <= limit and source[i + same:i + same + step] == target[i + same:i + same + step]:
                same += step
            step //= 8
        return same

    i = 0
    while i < len(target):
        same = agreeing(i)
        if same >= 8:
            flush()
            actions.extend(write_number(((same - 1) << 2) | 0))
            i += same
            continue
        run = 0
        while i > 0 and i + run < len(target) and target[i + run] == target[i - 1]:
            run += 1
        if run >= 8:
            flush()
            actions.extend(write_number(((run - 1) << 2) | 3))
            actions.extend(move(target_copy, i - 1))
            target_copy = i - 1 + run
            i += run
            continue
        found = None
        for back in range(sample):
            p = index.get(target[i + back:i + back + 32]) if i + back + 32 <= len(target) else None
            if p is not None and p - back >= 0 and source[p - back:p + 32] == target[i:i + back + 32]:
                found = p - back
                break
        if found is not None:
            length = 0
            while found + length < len(source) and i + length < len(target) and source[found + length] == target[i + length]:
                length += 1
            flush()
            actions.extend(write_number(((length - 1) << 2) | 2))
            actions.extend(move(source_copy, found))
            source_copy = found + length
            i += length
            continue
        literal.append(target[i])
        i += 1
    flush()
    patch = bytearray(b"BPS1")
    patch += write_number(len(source)) + write_number(len(target)) + write_number(0)
    patch += actions
    patch += struct.pack("<II", zlib.crc32(source), zlib.crc32(target))
    patch += struct.pack("<I", zlib.crc32(bytes(patch)))
    return bytes(patch)


def random_pair(seed):
    """A source of ROM-like data (runs, repeats, noise) and a target with its bytes changed,
    moved, repeated, grown or cut."""
    rng = random.Random(seed)
    source = bytearray()
    while len(source) < rng.randint(4096, 65536):
        kind = rng.randrange(3)
        length = rng.randint(1, 600)
        if kind == 0:
            source += bytes([rng.randrange(256)]) * length
        elif kind == 1 and source:
            start = rng.randrange(len(source))
            source += source[start:start + length]
        else:
            source += bytes(rng.randrange(256) for _ in range(length))
    target = bytearray(source)
    for _ in range(rng.randint(1, 30)):
        at = rng.randrange(len(target) + 1)
        length = rng.randint(1, 400)
        kind = rng.randrange(4)
        if kind == 0:
            target[at:at + length] = bytes(rng.randrange(256) for _ in range(length))
        elif kind == 1:
            start = rng.randrange(len(source))
            target[at:at] = source[start:start + length]
        elif kind == 2:
            target[at:at] = bytes([rng.randrange(256)]) * length
        else:
            del target[at:at + length]
    if rng.randrange(4) == 0:
        target += bytes(rng.randrange(256) for _ in range(rng.randint(1, 5000)))
    return bytes(source), bytes(target)


def edited(seed, rom, start, end):
    """`rom` with random changes between `start` and `end` (bytes moved there from elsewhere in
    it, runs of one byte, new bytes) and grown by whole KiB (so a copier header stays one)."""
    rng = random.Random(seed)
    target = bytearray(rom)
    at = start
    while at < end:
        length = min(end - at, rng.randint(1, 300))
        kind = rng.randrange(3)
        if kind == 0:
            origin = rng.randrange(len(rom) - length)
            target[at:at + length] = rom[origin:origin + length]
        elif kind == 1:
            target[at:at + length] = bytes([rng.randrange(256)]) * length
        else:
            target[at:at + length] = bytes(rng.randrange(256) for _ in range(length))
        at += length + rng.randint(0, 200)
    growth = 1024 * rng.randint(0, 8)
    origin = rng.randrange(len(rom) - growth)
    target += rom[origin:origin + growth]
    return bytes(target)


def main(argv):
    command = argv[1]
    if command == "apply":
        source = open(argv[2], "rb").read()
        patch = open(argv[3], "rb").read()
        try:
            target = apply(source, patch)
        except ValueError as why:
            print("refused: %s" % why, file=sys.stderr)
            return 1
        open(argv[4], "wb").write(target)
    elif command == "create":
        open(argv[4], "wb").write(create(open(argv[2], "rb").read(), open(argv[3], "rb").read()))
    elif command == "pair":
        source, target = random_pair(int(argv[2]))
        open(argv[3], "wb").write(source)
        open(argv[4], "wb").write(target)
    elif command == "actions":
        counts = count_actions(open(argv[2], "rb").read())
        print(" ".join("%s=%d" % item for item in counts.items()))
    elif command == "edit":
        rom = open(argv[3], "rb").read()
        open(argv[4], "wb").write(edited(int(argv[2]), rom, int(argv[5], 0), int(argv[6], 0)))
    else:
        print(__doc__, file=sys.stderr)
        return 3
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
