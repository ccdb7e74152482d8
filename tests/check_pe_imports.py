#!/usr/bin/env python3
"""Fails when a PE file imports a mingw runtime DLL (the build must link it statically)."""
import struct
import sys

FORBIDDEN = ("libstdc++", "libgcc", "libwinpthread")


def imports(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    opt_size = struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    import_rva = struct.unpack_from("<I", data, dirs + 8)[0]
    table = [struct.unpack_from("<IIIII", data, opt + opt_size + 40 * i + 8) for i in range(sections)]

    def offset(rva):
        for vsize, vaddr, rawsize, rawptr, _ in table:
            if vaddr <= rva < vaddr + max(vsize, rawsize):
                return rva - vaddr + rawptr
        raise ValueError("rva 0x%x outside every section" % rva)

    names = []
    if import_rva == 0:
        return names
    pos = offset(import_rva)
    while True:
        desc = struct.unpack_from("<IIIII", data, pos)
        if desc == (0, 0, 0, 0, 0):
            return names
        name_at = offset(desc[3])
        names.append(data[name_at:data.index(b"\0", name_at)].decode("ascii"))
        pos += 20


def main(paths):
    bad = 0
    for path in paths:
        for name in imports(path):
            if name.lower().startswith(FORBIDDEN):
                print("%s imports %s" % (path, name))
                bad += 1
    print("%d files checked, %d forbidden imports" % (len(paths), bad))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
