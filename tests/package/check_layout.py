#!/usr/bin/env python3
"""Checks an installed tree (`cmake --install --prefix ROOT`) the way the
desktop and the program use it: the link in bin/ reaches the program in its
private folder, the companions stand beside it, the help page finds every
picture it shows and loads nothing from elsewhere, the desktop entry names a
program and an icon that are installed, and the icon exists at each size.

    check_layout.py ROOT SIZE...
"""
import configparser
import html.parser
import os
import re
import struct
import sys
import urllib.parse
import zlib

PROGRAM_DIR = "lib/tarnova-drelin"
HELP_PAGE = "Tarnova Drelin for DBF.html"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def is_executable_file(path):
    return os.path.isfile(path) and os.access(path, os.X_OK)


def check_programs(root):
    check(is_executable_file(os.path.join(root, "bin/drelin-repair")), "bin/drelin-repair is not an executable file")
    link = os.path.join(root, "bin/tarnova-drelin")
    if not check(os.path.islink(link), "bin/tarnova-drelin is not a symbolic link"):
        return
    target = os.readlink(link)
    check(not os.path.isabs(target), f"bin/tarnova-drelin points to an absolute path: {target}")
    program = os.path.join(root, PROGRAM_DIR, "tarnova-drelin")
    check(is_executable_file(program) and not os.path.islink(program),
          f"{PROGRAM_DIR}/tarnova-drelin is not the program")
    check(os.path.realpath(link) == os.path.realpath(program),
          f"bin/tarnova-drelin resolves to {os.path.realpath(link)}, not the program")


def check_companions(root):
    folder = os.path.join(root, PROGRAM_DIR)
    for name in ("bkgList.bmp", "bkgListPreview.bmp"):
        path = os.path.join(folder, name)
        if check(os.path.isfile(path), f"{name} is not beside the program"):
            with open(path, "rb") as f:
                check(f.read(2) == b"BM", f"{name} is not a BMP file")


class PageLinks(html.parser.HTMLParser):
    """Collects what a page loads, where it links to, and its anchors."""

    def __init__(self):
        super().__init__()
        self.loads, self.links, self.ids, self.styles = [], [], set(), []
        self._in_style = False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        if tag in ("img", "script", "iframe", "source", "embed") and attrs.get("src") is not None:
            self.loads.append(attrs["src"])
        if tag == "link" and attrs.get("href") is not None:
            self.loads.append(attrs["href"])
        if tag == "a" and attrs.get("href") is not None:
            self.links.append(attrs["href"])
        if "style" in attrs:
            self.styles.append(attrs["style"])
        self._in_style = tag == "style"

    def handle_endtag(self, tag):
        self._in_style = False

    def handle_data(self, data):
        if self._in_style:
            self.styles.append(data)


def check_help_page(root):
    folder = os.path.join(root, PROGRAM_DIR)
    path = os.path.join(folder, HELP_PAGE)
    if not check(os.path.isfile(path), f"the help page is not beside the program: {HELP_PAGE}"):
        return
    page = PageLinks()
    with open(path, encoding="utf-8") as f:
        page.feed(f.read())
    check(page.loads, "the help page shows no picture")
    for style in page.styles:
        check(not re.search(r"url\(|@import", style), f"the help page's style loads something: {style[:60]}")
    for source in page.loads:
        address = urllib.parse.urlsplit(source)
        if not check(not address.scheme and not address.netloc, f"the help page loads {source} from elsewhere"):
            continue
        target = os.path.normpath(os.path.join(folder, urllib.parse.unquote(address.path)))
        check(target.startswith(folder + os.sep) and os.path.isfile(target),
              f"the help page shows {source}, which is not installed")
    for link in page.links:
        if link.startswith("#"):
            check(link[1:] in page.ids, f"the help page links to a missing anchor {link}")


def check_desktop_entry(root):
    path = os.path.join(root, "share/applications/tarnova-drelin.desktop")
    if not check(os.path.isfile(path), "no desktop entry"):
        return
    entry = configparser.RawConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(path, encoding="utf-8")
    group = entry["Desktop Entry"]
    exec_words = group.get("Exec", "").split()
    check(exec_words and os.path.exists(os.path.join(root, "bin", exec_words[0])),
          f"the entry starts {exec_words[:1]}, which is not in bin/")
    check("%F" in exec_words, "the entry does not pass the chosen files (%F)")
    icon = group.get("Icon", "")
    check(os.path.isfile(os.path.join(root, "share/icons/hicolor/48x48/apps", icon + ".png")),
          f"the entry's icon {icon!r} is not installed")


def png_facts(path):
    """Width, height, colour type and whether any pixel is drawn."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    chunks, offset = [], 8
    while offset < len(data):
        length, kind = struct.unpack(">I4s", data[offset:offset + 8])
        if kind == b"IDAT":
            chunks.append(data[offset + 8:offset + 8 + length])
        offset += 12 + length
    raw = zlib.decompress(b"".join(chunks))
    stride = len(raw) // height if height else 0
    # Filtered rows of an all-zero (fully transparent) image are all zero.
    drawn = any(any(raw[row * stride + 1:(row + 1) * stride]) for row in range(height))
    return width, height, depth, colour, drawn


def check_icons(root, sizes):
    for size in sizes:
        path = os.path.join(root, f"share/icons/hicolor/{size}x{size}/apps/tarnova-drelin.png")
        if not check(os.path.isfile(path), f"no {size}x{size} icon"):
            continue
        facts = png_facts(path)
        if not check(facts is not None, f"the {size}x{size} icon is not a PNG"):
            continue
        width, height, depth, colour, drawn = facts
        check((width, height) == (size, size), f"the {size}x{size} icon is {width}x{height}")
        check(colour == 6 and depth == 8, f"the {size}x{size} icon is not 8-bit RGBA")
        check(drawn, f"the {size}x{size} icon is blank")


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    root, sizes = sys.argv[1], [int(s) for s in sys.argv[2:]]
    check_programs(root)
    check_companions(root)
    check_help_page(root)
    check_desktop_entry(root)
    check_icons(root, sizes)
    for failure in failures:
        print(failure)
    print(f"{len(failures)} problems in the installed tree" if failures else "installed tree is complete")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
