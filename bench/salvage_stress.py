#!/usr/bin/env python3
"""Large damaged tables through the real salvage command.

    salvage_stress.py TOOL [--tables N] [--seed S] [--dir DIR]

The fuzz target only reaches small inputs; this drives tables of 2 to 30 MB,
larger than what salvage learns from and than its read window, damaged
several ways at once (bytes inserted or lost, blocks of zeros or noise,
noise running to the end of the file, a wrong record count). Each output
must be a valid table (header, length and end byte agree) whose records are
records of the source, in order; the figures show how many were kept.
"""
import argparse
import json
import os
import random
import struct
import subprocess
import sys
import tempfile
import time

NAMES = ['Anna Berg', 'Jose Garcia', 'Ute Meier', 'Lars Jensen', 'Ines Nunez', 'Mark Kelly',
         'Asa Lind', 'Zoe Costa', 'Hans Wagner', 'Eva Novak']


def layouts(rng):
    """A few table shapes: a counter with typed fields, text only, long and mostly blank."""
    counter = [('ID', 'N', 8), ('NAME', 'C', 14), ('JOINED', 'D', 8), ('ACTIVE', 'L', 1)]
    text = [('NAME', 'C', 20), ('CITY', 'C', 12), ('NOTE', 'C', 30)]
    wide = [('ID', 'N', 7)] + [('NOTE%d' % i, 'C', 120) for i in range(12)] + [('PAID', 'L', 1)]
    return rng.choice([counter, text, wide])


def value(field, i, rng):
    name, kind, length = field
    if kind == 'N':
        return str(i).rjust(length)[:length]
    if kind == 'D':
        return '20%02d%02d%02d' % (10 + i % 15, 1 + i % 12, 1 + i % 28)
    if kind == 'L':
        return 'T' if i % 3 else 'F'
    if name.startswith('NOTE') and len(name) > 4 and rng.random() < 0.9:
        return ' ' * length
    text = NAMES[(i * 7 + length) % len(NAMES)] + (' %d' % (i % 97) if name == 'NOTE' else '')
    return text.ljust(length)[:length]


def make_table(rng, target_bytes):
    fields = layouts(rng)
    record_length = 1 + sum(f[2] for f in fields)
    count = max(16, target_bytes // record_length)
    header_length = 32 + 32 * len(fields) + 1
    header = bytearray(struct.pack('<BBBBIHH', 3, 126, 12, 7, count, header_length, record_length) + bytes(20))
    for name, kind, length in fields:
        header += name.encode().ljust(11, b'\0') + kind.encode() + bytes(4) + bytes([length, 0]) + bytes(14)
    header += b'\r'
    records = bytearray()
    for i in range(count):
        records += (b'*' if i % 17 == 5 else b' ') + ''.join(value(f, i, rng) for f in fields).encode()
    return bytes(header), bytes(records), record_length


def damage(rng, header, records, record_length):
    data = bytearray(records)
    kinds = []
    for _ in range(rng.randint(1, 5)):
        kind = rng.choice(['insert', 'delete', 'zeros', 'noise'])
        at = rng.randrange(len(data))
        if kind == 'insert':
            data[at:at] = bytes(rng.randrange(256) for _ in range(rng.randint(1, 7)))
        elif kind == 'delete':
            del data[at:at + rng.randint(1, 7)]
        else:
            size = rng.choice([512, 4096])
            block = bytes(size) if kind == 'zeros' else rng.randbytes(size)
            data[at:at + size] = block[:len(data) - at]
        kinds.append(kind)
    head = bytearray(header)
    if rng.random() < 0.3:
        head[4:8] = bytes(4)  # a wrong record count, as Normal repair mends
        kinds.append('count')
    tail = b'\x1a'
    if rng.random() < 0.2:
        tail = rng.randbytes(rng.randint(5, 6) << 20)  # noise to the end, longer than a window
        kinds.append('noise-tail')
    return bytes(head) + bytes(data) + tail, kinds


def check(source, output, record_length, header_length):
    """Problems with the output, or an empty list."""
    problems = []
    count, stored_header, stored_length = struct.unpack('<IHH', output[4:12])
    if stored_header != header_length or stored_length != record_length:
        problems.append('header lengths %d/%d' % (stored_header, stored_length))
    if len(output) != header_length + count * record_length + 1 or output[-1:] != b'\x1a':
        problems.append('length %d does not agree with %d records' % (len(output), count))
        return problems, count
    at = header_length
    for k in range(count):
        record = output[header_length + k * record_length:header_length + (k + 1) * record_length]
        found = source.find(record, at)
        if found < 0:
            problems.append('record %d is not a record of the source after offset %d' % (k, at))
            break
        at = found + record_length
    return problems, count


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('tool')
    parser.add_argument('--tables', type=int, default=20)
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--dir', default=None)
    args = parser.parse_args()
    failures = 0
    with tempfile.TemporaryDirectory(dir=args.dir) as work:
        for t in range(args.tables):
            rng = random.Random(args.seed * 7919 + t)
            header, records, record_length = make_table(rng, rng.randint(2, 30) << 20)
            source, kinds = damage(rng, header, records, record_length)
            src, out, report = (os.path.join(work, n) for n in ('in.dbf', 'out.dbf', 'out.json'))
            for path in (out, report):
                if os.path.exists(path):
                    os.remove(path)
            with open(src, 'wb') as f:
                f.write(source)
            started = time.monotonic()
            run = subprocess.run([args.tool, 'salvage', '--output', out, '--report', report, src],
                                 capture_output=True, text=True)
            seconds = time.monotonic() - started
            if run.returncode != 0:
                print('table %d (%s): exit %d: %s' % (t, ','.join(kinds), run.returncode, run.stderr.strip()))
                failures += 1
                continue
            with open(out, 'rb') as f:
                output = f.read()
            problems, count = check(source, output, record_length, len(header))
            kept = json.load(open(report))['kept']
            original = len(records) // record_length
            print('table %2d %5.1f MB %-28s kept %8d of %8d (%6.2f %%) %5.2f s %s' %
                  (t, len(source) / 1e6, ','.join(kinds), kept, original, 100.0 * kept / original, seconds,
                   '; '.join(problems) or 'ok'))
            if problems or kept != count:
                failures += 1
    print('%d of %d tables failed' % (failures, args.tables))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
