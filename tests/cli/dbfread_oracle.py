#!/usr/bin/python3
"""Independent check of the repair and of salvage with python3-dbfread.

Tables with damaged headers, once repaired by drelin-repair, must read back
through dbfread with the same records as the undamaged originals, and the
repaired header's record count must equal the number of records read
(dbfread itself ignores the stored count). Tables whose records are damaged,
once salvaged, must read back as the original's records in order, all but
the damaged ones. The repair zeroes the language byte, so the encoding is
given explicitly.
"""
import os
import struct
import subprocess
import sys
import tempfile

import dbfread

from dbf_header import table_header

TOOL = sys.argv[1]


def table(fields, records, eof=True):
    out = table_header(fields, len(records))  # language driver: Windows-1252
    for deleted, values in records:
        out.append(0x2A if deleted else 0x20)
        for (_, _, length), value in zip(fields, values):
            out += value.encode('cp1252').ljust(length, b' ')[:length]
    if eof:
        out.append(0x1A)
    return bytes(out)


def read(path):
    found = dbfread.DBF(path, encoding='cp1252', load=True)
    return [list(r.values()) for r in found.records], [list(r.values()) for r in found.deleted]


def damages(sound, field_count):
    terminator = 32 + 32 * field_count
    yield 'record count', sound[:4] + b'\xff\xff\x00\x00' + sound[8:]
    yield 'header length', sound[:8] + b'\x07\x00' + sound[10:]
    yield 'record length', sound[:10] + b'\x00\x00' + sound[12:]
    yield 'all header fields', bytes([0x99] * 12) + sound[12:]
    yield 'version and date', b'\x00\xff\xff\xff' + sound[4:]
    yield 'no end-of-file byte', sound[:-1]
    converted = bytearray(sound)
    converted[terminator] = 0x0A
    yield 'terminator converted (advance)', bytes(converted)


def salvage_damages(sound, header_length, record_length):
    def at(record, offset=0):
        return header_length + record * record_length + offset
    zeroed = bytearray(sound)
    zeroed[at(10):at(11)] = bytes(record_length)
    yield 'salvage: a record zeroed', bytes(zeroed), {10}
    yield 'salvage: bytes inserted', sound[:at(20, 7)] + b'\x00\xff\x13' + sound[at(20, 7):], {20}
    yield 'salvage: bytes lost', sound[:at(30, 4)] + sound[at(30, 9):], {30}
    flag = bytearray(sound)
    flag[at(40)] = ord('Q')
    yield 'salvage: a flag overwritten', bytes(flag), {40}
    both = bytearray(sound)
    both[4:12] = b'\x99' * 8
    both[at(50, 3):at(50, 3) + 200] = bytes(range(200))
    yield ('salvage: noise and a garbled header', bytes(both),
           set(range(50, 50 + (3 + 200 + record_length - 1) // record_length)))


def check_salvage(work, fields, failures):
    names = ['Anna Berg', 'Jos\u00e9 Garc\u00eda', 'Ute Meier', 'S\u00f8ren \u00d8deg\u00e5rd', 'Zo\u00eb Costa']
    records = [(i % 13 == 4, [names[i % 5], 'City %d' % (i % 17), str(i * 37 % 1000), 'TF'[i % 2]])
               for i in range(60)]
    sound = table(fields, records)
    header_length = 32 + 32 * len(fields) + 1
    record_length = 1 + sum(length for _, _, length in fields)
    original = os.path.join(work, 'salvage-original.dbf')
    with open(original, 'wb') as f:
        f.write(sound)
    active, deleted = read(original)
    # In order, each record with its deletion flag.
    everything = []
    for deleted_flag, _ in records:
        everything.append((deleted_flag, (deleted if deleted_flag else active).pop(0)))
    for n, (what, damaged, touched) in enumerate(salvage_damages(sound, header_length, record_length)):
        source = os.path.join(work, 'salvage-damaged%d.dbf' % n)
        salvaged = os.path.join(work, 'salvaged%d.dbf' % n)
        with open(source, 'wb') as f:
            f.write(damaged)
        run = subprocess.run([TOOL, 'salvage', '--output', salvaged, source], capture_output=True, text=True)
        if run.returncode != 0:
            print('FAIL %s: exit %d %s' % (what, run.returncode, run.stderr))
            failures += 1
            continue
        # dbfread reads active and deleted records apart, each kind in the
        # file's order.
        found = dbfread.DBF(salvaged, encoding='cp1252', load=True)
        with open(salvaged, 'rb') as f:
            count = struct.unpack('<I', f.read(8)[4:8])[0]
        got_active = [list(r.values()) for r in found.records]
        got_deleted = [list(r.values()) for r in found.deleted]
        expected_active = [v for i, (d, v) in enumerate(everything) if not d and i not in touched]
        expected_deleted = [v for i, (d, v) in enumerate(everything) if d and i not in touched]
        if (got_active != expected_active or got_deleted != expected_deleted
                or count != len(got_active) + len(got_deleted)):
            print('FAIL %s: %d active, %d deleted read, header count %d' %
                  (what, len(got_active), len(got_deleted), count))
            failures += 1
        else:
            print('ok   %s' % what)
    return failures


def main():
    fields = [('NAME', 'C', 20), ('CITY', 'C', 15), ('QTY', 'N', 5), ('PAID', 'L', 1)]
    records = [(False, ['Anna Müller', 'Köln', '12', 'T']),
               (True, ['Deleted One', 'Nowhere', '0', 'F']),
               (False, ['José García', 'Málaga', '7', 'F']),
               (False, ['Zoë', '€uro', '99999', 'T'])]
    sound = table(fields, records)
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        original = os.path.join(work, 'original.dbf')
        with open(original, 'wb') as f:
            f.write(sound)
        expected = read(original)
        assert len(expected[0]) == 3 and len(expected[1]) == 1
        for n, (what, damaged) in enumerate(damages(sound, len(fields))):
            source = os.path.join(work, 'damaged%d.dbf' % n)
            repaired = os.path.join(work, 'repaired%d.dbf' % n)
            with open(source, 'wb') as f:
                f.write(damaged)
            mode = 'advance' if 'advance' in what else 'normal'
            run = subprocess.run([TOOL, 'repair', '--mode', mode, '--output', repaired, source],
                                 capture_output=True, text=True)
            if run.returncode != 0:
                print('FAIL %s: exit %d %s' % (what, run.returncode, run.stderr))
                failures += 1
                continue
            got = read(repaired)
            with open(repaired, 'rb') as f:
                count = struct.unpack('<I', f.read(8)[4:8])[0]
            if got != expected or count != len(got[0]) + len(got[1]):
                print('FAIL %s: %r / header count %d' % (what, got, count))
                failures += 1
            else:
                print('ok   %s' % what)
        failures = check_salvage(work, fields, failures)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
