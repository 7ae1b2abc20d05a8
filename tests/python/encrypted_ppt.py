"""An encrypted binary presentation, written here: a compound document (version 3, one FAT
sector, one directory sector) whose "Current User" stream carries the encrypted token. The
stream is padded to 4096 bytes so that it lies in regular sectors, not in the mini stream."""

import struct

_FREE, _END, _FATSECT, _NOSTREAM = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD, 0xFFFFFFFF
_ENCRYPTED_TOKEN = 0xF3D1C4DF


def _current_user_atom():
    user = b"tester"
    body = struct.pack("<IIIHHBBH", 20, _ENCRYPTED_TOKEN, 0, len(user), 0x03F4, 3, 0, 0) + user
    return struct.pack("<HHI", 0, 0x0FF6, len(body)) + body


def _dir_entry(name, kind, child, start, size):
    encoded = (name + "\0").encode("utf-16-le") if name else b""
    entry = encoded.ljust(64, b"\0") + struct.pack("<HBB", len(encoded), kind, 1)
    entry += struct.pack("<III", _NOSTREAM, _NOSTREAM, child) + b"\0" * 16 + b"\0" * 4
    entry += b"\0" * 16 + struct.pack("<IQ", start, size)
    assert len(entry) == 128
    return entry


def encrypted_presentation():
    stream = _current_user_atom().ljust(4096, b"\0")
    data_sectors = len(stream) // 512
    header = bytes.fromhex("D0CF11E0A1B11AE1") + b"\0" * 16
    header += struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) + b"\0" * 6
    header += struct.pack("<IIIIIIIII", 0, 1, 1, 0, 4096, _END, 0, _END, 0)
    header += struct.pack("<I", 0) + struct.pack("<I", _FREE) * 108
    fat = [_FATSECT, _END] + [3 + i for i in range(data_sectors - 1)] + [_END]
    fat_sector = b"".join(struct.pack("<I", v) for v in fat).ljust(512, b"\xff")
    directory = (_dir_entry("Root Entry", 5, 1, _END, 0) +
                 _dir_entry("Current User", 2, _NOSTREAM, 2, len(stream)) +
                 _dir_entry("", 0, _NOSTREAM, 0, 0) * 2)
    return header + fat_sector + directory + stream
