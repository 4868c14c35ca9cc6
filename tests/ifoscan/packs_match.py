#!/usr/bin/env python3
"""Checks that one MPEG program stream is others one after the other, pack for pack.

Usage: packs_match.py WHOLE PART...

The title reader moves the clock of a later cell on where the stream's clock restarts, so the
packs of each PART may differ from WHOLE in their time stamps (the pack's clock reference, the
PES packets' PTS and DTS), and only there, by one amount for the whole part. Prints each
part's shift in 90 kHz ticks; exits 1 with the first difference otherwise.
"""

import sys

PACK = 2048
MASK = (1 << 33) - 1
TIMED = set(range(0xC0, 0xF0)) | {0xBD}  # audio, video, private stream 1: PES headers with times


class Mismatch(Exception):
    pass


def timestamp(b, at):
    return ((b[at] >> 1) & 7) << 30 | b[at + 1] << 22 | (b[at + 2] >> 1) << 15 | b[at + 3] << 7 | b[at + 4] >> 1


def clock_reference(b):
    return ((b[4] >> 3) & 7) << 30 | (b[4] & 3) << 28 | b[5] << 20 | (b[6] >> 3) << 15 | (b[6] & 3) << 13 | \
        b[7] << 5 | b[8] >> 3


def split_pack(pack):
    """The pack without its time stamps' values, and those values in order."""
    if pack[:4] != b"\0\0\1\xba":
        raise Mismatch("a pack does not start with a pack header")
    rest, times = bytearray(pack), [clock_reference(pack)]
    rest[4:9] = bytes([pack[4] & 0xC4, 0, pack[6] & 4, 0, pack[8] & 7])  # markers and extension kept
    at = 14 + (pack[13] & 7)
    while at + 6 <= len(pack) and pack[at:at + 3] == b"\0\0\1":
        stream, length = pack[at + 3], pack[at + 4] << 8 | pack[at + 5]
        if stream in TIMED and length >= 3 and pack[at + 6] & 0xC0 == 0x80:
            fields = {0x80: 1, 0xC0: 2}.get(pack[at + 7] & 0xC0, 0)
            for k in range(fields):
                field = at + 9 + 5 * k
                times.append(timestamp(pack, field))
                rest[field:field + 5] = bytes([pack[field] & 0xF1, 0, pack[field + 2] & 1, 0, pack[field + 4] & 1])
        at += 6 + length
    return bytes(rest), times


def compare_part(whole, offset, part, number):
    shift = None
    for at in range(0, len(part), PACK):
        ours, theirs = part[at:at + PACK], whole[offset + at:offset + at + PACK]
        where = f"part {number}, pack {at // PACK + 1}"
        if ours == theirs and shift in (None, 0):
            shift = 0
            continue
        (our_rest, our_times), (their_rest, their_times) = split_pack(ours), split_pack(theirs)
        if our_rest != their_rest or len(our_times) != len(their_times):
            raise Mismatch(f"{where}: differs beyond its time stamps")
        for ours_t, theirs_t in zip(our_times, their_times):
            moved = (theirs_t - ours_t) & MASK
            if shift is None:
                shift = moved
            if moved != shift:
                raise Mismatch(f"{where}: its clock moves by {moved} ticks, the part's by {shift}")
    return shift or 0


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    with open(argv[1], "rb") as file:
        whole = file.read()
    parts = []
    for path in argv[2:]:
        with open(path, "rb") as file:
            parts.append(file.read())
    try:
        if len(whole) != sum(len(part) for part in parts):
            raise Mismatch(f"{len(whole)} bytes, the parts {sum(len(part) for part in parts)}")
        if any(len(part) % PACK for part in parts):
            raise Mismatch("a part is not whole packs")
        offset, shifts = 0, []
        for number, part in enumerate(parts, 1):
            shifts.append(compare_part(whole, offset, part, number))
            offset += len(part)
    except Mismatch as problem:
        print(f"packs_match.py: {argv[1]}: {problem}", file=sys.stderr)
        return 1
    print(" ".join(str(shift) for shift in shifts))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
