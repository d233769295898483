#!/usr/bin/env python3
"""Writes a sound dBASE III table of a given size or record count, fast.

    make_table.py PATH --records N     or     make_table.py PATH --bytes N

Records cycle through 4096 distinct ones (names with accented letters,
numbers, dates, logicals), so the table looks like real data to a reader.
"""
import argparse
import struct

FIELDS = [('ID', 'N', 10), ('NAME', 'C', 30), ('CITY', 'C', 20), ('AMOUNT', 'N', 12),
          ('ORDERED', 'D', 8), ('PAID', 'L', 1), ('NOTE', 'C', 19)]
RECORD_LENGTH = 1 + sum(f[2] for f in FIELDS)
CITIES = ['Köln', 'Málaga', 'Ålesund', 'Besançon', 'Logroño', 'Dublin', 'Uppsala', 'Zürich']
NAMES = ['Anna Müller', 'José García', 'Søren Ødegård', 'Zoë Brontë', 'François Lefèvre',
         'Ines Nuñez', "Mark O'Brien", 'Åsa Lindström']


def record(i):
    values = [str(i).rjust(10), NAMES[i % 8] + ' ' + str(i % 97), CITIES[(i // 8) % 8],
              '%12.2f' % ((i * 7919) % 1000000 / 100.0), '2026%02d%02d' % (1 + i % 12, 1 + i % 28),
              'T' if i % 3 else 'F', 'note, "%d"' % (i % 1000)]
    out = bytearray(b' ')
    for (name, kind, length), value in zip(FIELDS, values):
        out += value.encode('cp1252').ljust(length, b' ')[:length]
    return bytes(out)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('path')
    group = parser.add_mutually_exclusive_group(required=True)
    group.add_argument('--records', type=int)
    group.add_argument('--bytes', type=int)
    args = parser.parse_args()
    header_length = 32 + 32 * len(FIELDS) + 1
    records = args.records if args.records is not None else (args.bytes - header_length - 1) // RECORD_LENGTH
    header = bytearray(struct.pack('<BBBBIHH', 3, 126, 12, 6, records, header_length, RECORD_LENGTH) + bytes(20))
    header[29] = 0x03
    for name, kind, length in FIELDS:
        block = bytearray(32)
        block[:len(name)] = name.encode('ascii')
        block[11] = ord(kind)
        block[16] = length
        block[17] = 2 if name == 'AMOUNT' else 0
        header += block
    header.append(0x0D)
    chunk = b''.join(record(i) for i in range(4096))
    with open(args.path, 'wb') as f:
        f.write(header)
        left = records
        while left > 0:
            n = min(left, 4096)
            f.write(chunk if n == 4096 else chunk[:n * RECORD_LENGTH])
            left -= n
        f.write(b'\x1a')


if __name__ == '__main__':
    main()
