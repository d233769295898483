#!/usr/bin/python3
"""Independent check that memo text survives a repair, with python3-dbfread.

A dBASE III table with memo fields (version byte 0x83) keeps their text in
a .dbt: 512-byte blocks, block 0 holding the next free block, each text
ended by 0x1A 0x1A. Its header is damaged, it is repaired and saved both
ways (`repair --output` and the batch form), and dbfread must read the
saved copy's memo fields as it reads the undamaged original's. A memo file
already under the saved name is never replaced (the batch moves on to the
next free name, `--output` refuses), a memo file named in another letter
case travels too, and a missing one is reported without failing. A dBASE
IV table (0x8B, .dbt) and a FoxPro one (0xF5, .fpt) travel the same way.
"""
import os
import struct
import subprocess
import sys
import tempfile

import dbfread

from dbf_header import table_header

TOOL = sys.argv[1]
FIELDS = [('NAME', 'C', 20), ('NOTES', 'M', 10), ('QTY', 'N', 5), ('REMARK', 'M', 10)]
RECORDS = [
    (False, ['Anna Müller', 'Lieferung über Köln.\r\nZweite Zeile.', '12', '']),
    (True, ['Gelöscht', 'deleted, yet its memo stays', '0', 'x']),
    (False, ['José García', 'Mañana ' * 150, '7', 'long text above spans two blocks']),
    (False, ['Zoë', '', '99999', '€uro']),
]


# The memo file of each version byte: its block size, and how a text is
# laid out in its blocks.
MEMO_BLOCK = {0x83: 512, 0x8B: 512, 0xF5: 64}


def memo_entry(version, text):
    """A memo text as the version's memo file holds it."""
    if version == 0x83:  # the text, ended by two 0x1A
        return text + b'\x1a\x1a'
    if version == 0x8B:  # FF FF 08 08 and the length (little-endian)
        return b'\xff\xff\x08\x08' + struct.pack('<I', len(text)) + text
    return struct.pack('>II', 1, len(text)) + text  # FoxPro: type 1 (text), length


def memo_header(version, next_block):
    header = bytearray(512)
    if version == 0xF5:  # big-endian next free block, block size at 6
        header[0:4] = struct.pack('>I', next_block)
        header[6:8] = struct.pack('>H', MEMO_BLOCK[version])
    else:
        header[0:4] = struct.pack('<I', next_block)
        header[16] = 0x03
        if version == 0x8B:
            header[20:22] = struct.pack('<H', MEMO_BLOCK[version])
    return bytes(header)


def memo_and_table(version=0x83):
    """The table's bytes and its memo file's (.dbt, or .fpt for 0xF5)."""
    size = MEMO_BLOCK[version]
    first = 512 // size  # the header fills the first 512 bytes
    blocks = [b''] * first
    refs = []
    for _, values in RECORDS:
        row = []
        for (_, kind, _), value in zip(FIELDS, values):
            if kind != 'M':
                row.append(value.encode('cp1252'))
            elif not value:
                row.append(b'')
            else:
                data = memo_entry(version, value.encode('cp1252'))
                data += bytes(-len(data) % size)
                row.append(b'%10d' % len(blocks))
                blocks.extend(data[i:i + size] for i in range(0, len(data), size))
        refs.append(row)
    dbt = memo_header(version, len(blocks)) + b''.join(blocks[first:])

    out = table_header(FIELDS, len(RECORDS), version=version)  # Windows-1252
    for (deleted, _), row in zip(RECORDS, refs):
        out.append(0x2A if deleted else 0x20)
        for (_, kind, length), value in zip(FIELDS, row):
            out += value.rjust(length, b' ') if kind == 'M' else value.ljust(length, b' ')[:length]
    out.append(0x1A)
    return bytes(out), dbt


def read(path):
    found = dbfread.DBF(path, encoding='cp1252', load=True)
    return [list(r.values()) for r in found.records], [list(r.values()) for r in found.deleted]


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def content(path):
    with open(path, 'rb') as f:
        return f.read()


class Checks:
    def __init__(self):
        self.failures = 0

    def expect(self, what, ok, detail=''):
        print('%s %s%s' % ('ok  ' if ok else 'FAIL', what, '' if ok else ': %s' % (detail,)))
        self.failures += 0 if ok else 1


def check_version(checks, work, version, extension):
    """A dBASE IV or FoxPro memo table, saved both ways, reads back whole."""
    what = '0x%02X' % version
    table, memo = memo_and_table(version)
    folder = os.path.join(work, what)
    os.mkdir(folder)
    original = os.path.join(folder, 'original.dbf')
    write(original, table)
    write(os.path.join(folder, 'original.' + extension), memo)
    expected = read(original)
    checks.expect(what + ' original reads with its memo text',
                  expected[0][1][1] == RECORDS[2][1][1] and expected[1][0][1] == RECORDS[1][1][1], expected)
    source = os.path.join(folder, 'stock.dbf')
    write(source, table[:4] + struct.pack('<I', 0) + table[8:])
    write(os.path.join(folder, 'stock.' + extension), memo)

    target = os.path.join(folder, 'fixed.dbf')
    run = subprocess.run([TOOL, 'repair', '--output', target, source], capture_output=True, text=True)
    checks.expect(what + ' repair --output succeeds', run.returncode == 0, run.stderr)
    checks.expect(what + ' --output keeps its version byte', content(target)[0] == version)
    checks.expect(what + ' --output reads back with memo text', read(target) == expected, read(target))
    checks.expect(what + ' --output copies the .' + extension,
                  content(os.path.join(folder, 'fixed.' + extension)) == memo)

    batch = os.path.join(folder, 'batch')
    os.mkdir(batch)
    run = subprocess.run([TOOL, 'repair', '--out-dir', batch, source], capture_output=True, text=True)
    saved = os.path.join(batch, 'Rep_1_stock.dbf')
    checks.expect(what + ' the batch succeeds', run.returncode == 0, run.stderr)
    checks.expect(what + ' the batch reads back with memo text', read(saved) == expected,
                  sorted(os.listdir(batch)))
    checks.expect(what + ' the batch copies the .' + extension,
                  content(os.path.join(batch, 'Rep_1_stock.' + extension)) == memo)


def main():
    checks = Checks()
    table, dbt = memo_and_table()
    damaged = table[:4] + struct.pack('<I', 0xFFFF) + table[8:]
    with tempfile.TemporaryDirectory() as work:
        original = os.path.join(work, 'original.dbf')
        write(original, table)
        write(os.path.join(work, 'original.dbt'), dbt)
        expected = read(original)
        checks.expect('the original reads with its memo text',
                      expected[0][1][1] == RECORDS[2][1][1] and expected[1][0][1] == RECORDS[1][1][1],
                      expected)

        source_dir = os.path.join(work, 'src')
        os.mkdir(source_dir)
        source = os.path.join(source_dir, 'orders.dbf')
        write(source, damaged)
        write(os.path.join(source_dir, 'orders.dbt'), dbt)

        # repair --output
        out = os.path.join(work, 'single')
        os.mkdir(out)
        target = os.path.join(out, 'fixed.dbf')
        run = subprocess.run([TOOL, 'repair', '--output', target, source], capture_output=True, text=True)
        checks.expect('repair --output succeeds', run.returncode == 0, run.stderr)
        checks.expect('--output reads back with memo text', read(target) == expected, read(target))
        checks.expect('--output keeps version 0x83', content(target)[0] == 0x83)
        checks.expect('--output copies the memo file', content(os.path.join(out, 'fixed.dbt')) == dbt)
        checks.expect('--output names the code page', content(os.path.join(out, 'fixed.cpg')) == b'1252')
        checks.expect('--output tells of the memo copy',
                      '%s -> %s' % (os.path.join(source_dir, 'orders.dbt'), os.path.join(out, 'fixed.dbt'))
                      in run.stdout, run.stdout)
        # A memo name already taken refuses the repair; nothing is written.
        taken = os.path.join(out, 'again.dbt')
        write(taken, b'someone else')
        run = subprocess.run([TOOL, 'repair', '--output', os.path.join(out, 'again.dbf'), source],
                             capture_output=True, text=True)
        checks.expect('--output refuses a taken memo name',
                      run.returncode == 1 and 'again.dbt' in run.stderr and 'already exists' in run.stderr
                      and content(taken) == b'someone else'
                      and not os.path.exists(os.path.join(out, 'again.dbf')), run.stderr)

        # The batch form, into a folder where the first memo name is taken.
        batch = os.path.join(work, 'batch')
        os.mkdir(batch)
        write(os.path.join(batch, 'Rep_1_orders.dbt'), b'foreign memo')
        mixed = os.path.join(source_dir, 'mixed.dbf')
        write(mixed, damaged)
        write(os.path.join(source_dir, 'MIXED.DBT'), dbt)
        run = subprocess.run([TOOL, 'repair', '--out-dir', batch, source, mixed], capture_output=True, text=True)
        checks.expect('the batch succeeds', run.returncode == 0, run.stderr)
        saved = os.path.join(batch, 'Rep_(1)_1_orders.dbf')
        checks.expect('the batch skips the taken memo name', read(saved) == expected,
                      sorted(os.listdir(batch)))
        checks.expect('the foreign memo is unchanged',
                      content(os.path.join(batch, 'Rep_1_orders.dbt')) == b'foreign memo')
        checks.expect('the batch copies the memo beside it',
                      content(os.path.join(batch, 'Rep_(1)_1_orders.dbt')) == dbt)
        checks.expect('a memo in another letter case travels',
                      content(os.path.join(batch, 'Rep_1_mixed.DBT')) == dbt
                      and read(os.path.join(batch, 'Rep_1_mixed.dbf')) == expected, sorted(os.listdir(batch)))
        checks.expect('the batch names the code page',
                      content(os.path.join(batch, 'Rep_(1)_1_orders.cpg')) == b'1252')

        # A missing memo file is told, and the table is still saved.
        lone = os.path.join(work, 'lone.dbf')
        write(lone, damaged)
        run = subprocess.run([TOOL, 'repair', '--output', os.path.join(work, 'lone_fixed.dbf'), lone],
                             capture_output=True, text=True)
        checks.expect('a missing memo file is only told',
                      run.returncode == 0 and 'no memo file lone.dbt' in run.stderr
                      and os.path.exists(os.path.join(work, 'lone_fixed.dbf')), run.stderr)
        run = subprocess.run([TOOL, 'repair', '--out-dir', batch, lone], capture_output=True, text=True)
        checks.expect('the batch tells of a missing memo file',
                      run.returncode == 0 and 'no memo file lone.dbt' in run.stderr
                      and os.path.exists(os.path.join(batch, 'Rep_1_lone.dbf')), run.stderr)

        # What a repair used to write, version 3, loses the memo text to dbfread.
        three = os.path.join(work, 'three.dbf')
        write(three, b'\x03' + content(target)[1:])
        write(os.path.join(work, 'three.dbt'), dbt)
        try:
            lost = read(three) != expected
        except Exception:
            lost = True
        checks.expect('version 3 would lose the memo text (the oracle can tell)', lost)

        for version, extension in ((0x8B, 'dbt'), (0xF5, 'fpt')):
            check_version(checks, work, version, extension)
    return 1 if checks.failures else 0


if __name__ == '__main__':
    sys.exit(main())
