#!/usr/bin/env python3
"""Compresses the suite's files for PtrSetup.exe, which carries them as
resources: one file per resource, "PTRZ", the uncompressed size (32 bits,
little-endian), the length of the relative path (one byte), the path and a
zlib stream. Writes payload-N.bin into the output folder and payload.rci,
the resource lines that number them from 1 in the order given.

    make_payload.py OUTPUT_FOLDER SOURCE RELATIVE_PATH [SOURCE RELATIVE_PATH ...]
"""
import os
import struct
import sys
import zlib


def main(argv):
    if len(argv) < 4 or len(argv) % 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    lines = ["// Made by make_payload.py: the suite's files, compressed, in the order of the file table.\n"]
    pairs = list(zip(argv[2::2], argv[3::2]))
    for number, (source, relative) in enumerate(pairs, 1):
        with open(source, "rb") as f:
            data = f.read()
        path = relative.replace("/", "\\").encode("ascii")
        if not 0 < len(path) < 256:
            print(f"make_payload: path too long: {relative}", file=sys.stderr)
            return 1
        blob = b"PTRZ" + struct.pack("<IB", len(data), len(path)) + path + zlib.compress(data, 9)
        name = f"payload-{number}.bin"
        with open(os.path.join(out, name), "wb") as f:
            f.write(blob)
        lines.append(f'{number} RCDATA "{name}"\n')
    with open(os.path.join(out, "payload.rci"), "w") as f:
        f.writelines(lines)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
