"""The header of a dBASE III table as the command-line oracles write it."""
import struct


def table_header(fields, record_count, version=3, driver=0x03):
    """The 32-byte header, one descriptor per (name, type, length) field and
    the terminator; `driver` is the language-driver byte."""
    header_length = 32 + 32 * len(fields) + 1
    record_length = 1 + sum(length for _, _, length in fields)
    out = bytearray(struct.pack('<BBBBIHH', version, 126, 12, 6, record_count, header_length, record_length))
    out += bytes(20)
    out[29] = driver
    for name, kind, length in fields:
        block = bytearray(32)
        block[0:len(name)] = name.encode('ascii')
        block[11] = ord(kind)
        block[16] = length
        out += block
    out.append(0x0D)
    return out
