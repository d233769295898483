#!/usr/bin/env python3
"""Writes the bundled damaged tables in samples/, one kind of damage each.

Deterministic: running it again gives the same bytes. Usage:
    scripts/make_samples.py [OUTPUT_FOLDER]   (default: samples/ of the project)
"""
import os
import struct
import sys

FIELDS = [('ORDER_NO', 'N', 6, 0), ('CUSTOMER', 'C', 24, 0), ('CITY', 'C', 16, 0),
          ('AMOUNT', 'N', 10, 2), ('ORDERED', 'D', 8, 0), ('PAID', 'L', 1, 0)]
ROWS = [
    ('1001', 'Anna Müller', 'Köln', '1250.00', '20260114', 'T'),
    ('1002', 'José García', 'Málaga', '89.90', '20260203', 'F'),
    ('1003', 'Søren Ødegård', 'Ålesund', '342.15', '20260219', 'T'),
    ('1004', 'Zoë Brontë', 'Chloé', '15.00', '20260301', 'T'),
    ('1005', 'François Lefèvre', 'Besançon', '7800.50', '20260322', 'F'),
    ('1006', 'Ines Nuñez', 'Logroño', '64.20', '20260410', 'T'),
    ('1007', 'Mark O\'Brien', 'Dublin', '119.99', '20260502', 'F'),
    ('1008', 'Åsa Lindström', 'Uppsala', '250.00', '20260517', 'T'),
]


def value_bytes(text, length, numeric):
    raw = text.encode('cp1252', errors='strict')
    return raw.rjust(length, b' ') if numeric else raw.ljust(length, b' ')[:length]


def build(rows, deleted=(), eof=True):
    header_length = 32 + 32 * len(FIELDS) + 1
    record_length = 1 + sum(f[2] for f in FIELDS)
    out = bytearray(struct.pack('<BBBBIHH', 3, 126, 6, 1, len(rows), header_length, record_length))
    out += bytes(20)
    out[29] = 0x03  # Windows-1252
    for name, kind, length, decimals in FIELDS:
        block = bytearray(32)
        block[:len(name)] = name.encode('ascii')
        block[11] = ord(kind)
        block[16] = length
        block[17] = decimals
        out += block
    out.append(0x0D)
    for index, row in enumerate(rows):
        out.append(0x2A if index in deleted else 0x20)
        for (name, kind, length, _), text in zip(FIELDS, row):
            out += value_bytes(text, length, kind == 'N')
    if eof:
        out.append(0x1A)
    return out


def samples():
    terminator = 32 + 32 * len(FIELDS)

    table = build(ROWS)
    table[4:8] = struct.pack('<I', 3)
    yield 'wrong_record_count.dbf', table, 'The stored record count says 3; the table holds 8 records.'

    table = build(ROWS)
    table[0:12] = bytes([0xB7, 0xFF, 0x13, 0x77, 0xEE, 0xEE, 0xEE, 0xEE, 0x42, 0x99, 0x01, 0x00])
    yield 'garbage_header.dbf', table, ('Version, date, record count, header length and record length are '
                                        'all garbage; descriptors and records are sound.')

    table = build(ROWS)
    table[terminator] = 0x0A
    yield 'lost_terminator.dbf', table, ('The header terminator 0x0D became 0x0A (a line-ending conversion); '
                                         'the stored header length is right. Needs Advance repair.')

    table = build(ROWS, eof=False)
    yield 'missing_eof.dbf', table, 'No end-of-file byte 0x1A after the last record.'

    table = build(ROWS, eof=False)
    del table[-20:]
    yield 'cutoff_last_record.dbf', table, ('The file ends 20 bytes before the last record does '
                                            '(inside its CITY field), as after an interrupted copy.')

    table = build(ROWS, deleted={0})
    table[4:8] = struct.pack('<I', 0)
    yield 'first_record_deleted.dbf', table, ('The first record is marked deleted (0x2A) and the stored record '
                                              'count is 0. The records must still start right after the header.')


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'samples')
    os.makedirs(folder, exist_ok=True)
    for name, data, _ in samples():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(bytes(data))


if __name__ == '__main__':
    main()
