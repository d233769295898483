#!/usr/bin/python3
"""Independent check of how drelin-repair decodes a table's text.

For every language-driver id the tool knows by name, a table is written in
that id's code page from words made of characters the code page defines,
and `preview --format json` must show exactly what Python's codecs make of
the same bytes: once with the language-driver byte alone, once with a .cpg
beside the table naming the page (in the forms shapefile tools write) while
the language byte says something else. A UTF-8 table with a .cpg, and
`inspect --json`'s account of each choice, are checked too.
"""
import json
import os
import random
import subprocess
import sys
import tempfile
import unicodedata

from dbf_header import table_header

TOOL = sys.argv[1]

# Language-driver id, Windows code page number, Python codec.
PAGES = [
    (0x01, 437, 'cp437'), (0x02, 850, 'cp850'), (0x03, 1252, 'cp1252'),
    (0x04, 10000, 'mac_roman'), (0x13, 932, 'cp932'), (0x4D, 936, 'cp936'),
    (0x4E, 949, 'cp949'), (0x4F, 950, 'cp950'), (0x57, 1252, 'cp1252'),
    (0x58, 1252, 'cp1252'), (0x59, 1252, 'cp1252'), (0x64, 852, 'cp852'),
    (0x65, 866, 'cp866'), (0x66, 865, 'cp865'), (0x67, 861, 'cp861'),
    (0x6A, 737, 'cp737'), (0x6B, 857, 'cp857'), (0x78, 950, 'cp950'),
    (0x79, 949, 'cp949'), (0x7A, 936, 'cp936'), (0x7B, 932, 'cp932'),
    (0x7C, 874, 'cp874'), (0x7D, 1255, 'cp1255'), (0x7E, 1256, 'cp1256'),
    (0x96, 10007, 'mac_cyrillic'), (0x97, 10029, 'mac_latin2'),
    (0x98, 10006, 'mac_greek'), (0xC8, 1250, 'cp1250'), (0xC9, 1251, 'cp1251'),
    (0xCA, 1254, 'cp1254'), (0xCB, 1253, 'cp1253'),
]

# The scripts of the double-byte pages, as their tables hold them: kana and
# kanji, simplified or traditional Han, Hangul and Han. (The traditional
# pages' vendor extension rows 0xC6 to 0xC8, which converters map apart, are
# not text a table holds.)
DOUBLE_BYTE_RANGES = {
    932: [(0x3041, 0x3093), (0x30A1, 0x30F6), (0x4E00, 0x9FA0), (0xFF66, 0xFF9D)],
    936: [(0x4E00, 0x9FA0)],
    949: [(0xAC00, 0xD7A3), (0x4E00, 0x9FA0)],
    950: [(0x4E00, 0x9FA0)],
}
FIELDS = [('NAME', 'C', 30), ('CITY', 'C', 24), ('NOTE', 'C', 40), ('QTY', 'N', 6)]


def printable(ch):
    return unicodedata.category(ch)[0] in 'LNPS' and unicodedata.category(ch) != 'Co'


def alphabet(number, codec):
    """Characters the code page defines, each with its bytes."""
    chars = []
    if number in DOUBLE_BYTE_RANGES:
        for low, high in DOUBLE_BYTE_RANGES[number]:
            for point in range(low, high + 1):
                ch = chr(point)
                try:
                    encoded = ch.encode(codec)
                except UnicodeEncodeError:
                    continue
                if number == 950 and 0xC6 <= encoded[0] <= 0xC8:
                    continue
                chars.append(ch)
        return chars
    for byte in range(0x80, 0x100):
        try:
            ch = bytes([byte]).decode(codec)
        except UnicodeDecodeError:
            continue
        if printable(ch):
            chars.append(ch)
    return chars


def words(chars, rng, count):
    """Word-like runs of the page's characters, mixed with ASCII letters."""
    out = []
    for _ in range(count):
        word = ''.join(rng.choice(chars) for _ in range(rng.randint(2, 6)))
        if rng.random() < 0.3:
            word = rng.choice(['Ab', 'Zo', 'Mi']) + word
        out.append(word)
    return out


def fit(text, codec, length):
    """The text's bytes cut at a whole character to the field's length."""
    encoded = b''
    for ch in text:
        more = ch.encode(codec)
        if len(encoded) + len(more) > length:
            break
        encoded += more
    return encoded.ljust(length, b' ')


def table(driver, codec, rng, chars):
    records = []
    # Every character the page defines appears in some record.
    pool = list(chars)
    rng.shuffle(pool)
    while pool or len(records) < 6:
        taken, pool = pool[:12], pool[12:]
        note = ''.join(taken) or ' '.join(words(chars, rng, 3))
        values = [' '.join(words(chars, rng, 3)), ' '.join(words(chars, rng, 2)), note,
                  str(rng.randint(0, 99999))]
        records.append(b' ' + b''.join(fit(v, codec, length) for v, (_, _, length) in zip(values, FIELDS)))
    out = table_header(FIELDS, len(records), driver=driver)
    for record in records:
        out += record
    out.append(0x1A)
    return bytes(out), records


def cp1252_own(data):
    """Windows-1252 as the tool shows it: an undefined byte stands for itself."""
    return ''.join(bytes([b]).decode('cp1252', errors='ignore') or chr(b) for b in data)


def expected_rows(records, codec):
    rows = []
    for n, record in enumerate(records):
        row, at = [str(n + 1)], 1
        for _, _, length in FIELDS:
            value = record[at:at + length]
            row.append(cp1252_own(value) if codec == 'cp1252_own' else value.decode(codec))
            at += length
        rows.append(row)
    return rows


def preview(path):
    run = subprocess.run([TOOL, 'preview', '--format', 'json', path], capture_output=True)
    if run.returncode != 0:
        raise RuntimeError('exit %d: %s' % (run.returncode, run.stderr.decode(errors='replace')))
    return json.loads(run.stdout)['rows']


def inspect(path):
    run = subprocess.run([TOOL, 'inspect', '--json', path], capture_output=True)
    return json.loads(run.stdout)['code_page']


def check(what, got, wanted):
    if got == wanted:
        return 0
    print('FAIL %s: %r != %r' % (what, got, wanted))
    return 1


def main():
    rng = random.Random(20260612)
    failures = 0
    cpg_forms = ['{n}', 'CP{n}', 'ansi {n}\r\n', ' cp{n} ']
    with tempfile.TemporaryDirectory() as work:
        for index, (driver, number, codec) in enumerate(PAGES):
            chars = alphabet(number, codec)
            assert len(chars) > 20, (number, len(chars))
            data, records = table(driver, codec, rng, chars)
            wanted = expected_rows(records, codec)
            plain = os.path.join(work, 'byte%02X.dbf' % driver)
            with open(plain, 'wb') as f:
                f.write(data)
            failures += check('language byte 0x%02X' % driver, preview(plain), wanted)
            page = inspect(plain)
            failures += check('inspect 0x%02X' % driver,
                              (page['number'], page['source'], page['assumed']),
                              (number, 'language_driver', driver == 0x57))

            # A .cpg wins over a language byte that says otherwise.
            named = os.path.join(work, 'cpg%02X.dbf' % driver)
            with open(named, 'wb') as f:
                f.write(data[:29] + bytes([0x65 if number != 866 else 0x03]) + data[30:])
            with open(os.path.join(work, 'cpg%02X.%s' % (driver, 'CPG' if index % 2 else 'cpg')), 'w') as f:
                f.write(cpg_forms[index % len(cpg_forms)].format(n=number))
            failures += check('.cpg for 0x%02X' % driver, preview(named), wanted)
            page = inspect(named)
            failures += check('inspect .cpg %d' % number, (page['number'], page['source']), (number, 'cpg'))

        # UTF-8, which only a .cpg can name.
        chars = [ch for ch in map(chr, range(0xA1, 0x600)) if printable(ch)]
        data, records = table(0x00, 'utf-8', rng, chars)
        utf8 = os.path.join(work, 'utf8.dbf')
        with open(utf8, 'wb') as f:
            f.write(data)
        failures += check('no code page: Windows-1252', preview(utf8), expected_rows(records, 'cp1252_own'))
        with open(os.path.join(work, 'utf8.cpg'), 'w') as f:
            f.write('UTF-8\n')
        failures += check('.cpg UTF-8', preview(utf8), expected_rows(records, 'utf-8'))
    print('%d code pages checked, %d failures' % (len(PAGES), failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
