#!/usr/bin/python3
"""Writes the code page tables the editor reads and writes news files with.

Usage: scripts/codepages.py [--check | --differences]

The tables come from Windows' own: wine's .nls files (the tables Windows'
MultiByteToWideChar reads, from Debian's libwine), read beside Microsoft's
mapping tables as Python's codecs, Perl's Encode and glibc's charmaps carry
them. Where these differ the cell must be listed in DECIDED below, with what
the editor shows there; a cell that differs and is not listed, or a listed
range where nothing differs, stops the script. Nothing is downloaded.

Writes core/codepages/cp<N>.cpp for every code page and core/codepages/all.cpp.
--check writes nothing: it fails when a checked-in file differs from what it
would write. --differences prints every differing cell with each table's value.
"""

import argparse
import codecs
import gzip
import os
import struct
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "core", "codepages")
NLS = "/usr/share/wine/nls/c_{}.nls"
CHARMAPS = "/usr/share/i18n/charmaps/{}.gz"

SINGLE = [874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258]
DOUBLE = [932, 936, 949, 950]
# glibc's charmap of each code page (IBM874 is Windows-874's Thai set).
GLIBC = {874: "IBM874", 932: "WINDOWS-31J", 936: "GBK", 949: "CP949", 950: "BIG5"}
GLIBC.update({n: "CP%d" % n for n in range(1250, 1259)})

# Cells where the tables above do not all give the same character (one gives
# none, or another one): ranges of bytes or pairs, how many cells differ in
# each (so that a new difference inside a range stops the script too), and
# what the editor shows there. In every one Windows' table wins ("windows"): it is what the
# readers' Windows makes of the byte, and it gives every such cell a
# character of its own, so nothing is lost. The C1 controls (U+0080 to
# U+009F) and the private-use characters of single bytes are Windows' own
# additions to the published mapping tables; the pairs in private use are the
# user-defined characters of the double-byte code pages.
C1 = "the control character of the same number, as Windows reads it"
PRIVATE = "a private-use character of Windows' table"
USER = "private-use characters of Windows' table (user-defined pairs and others)"
DECIDED = {
    874: [(0x81, 0x84, 4, C1), (0x86, 0x90, 11, C1), (0x98, 0x9F, 8, C1),
          (0xDB, 0xDE, 4, PRIVATE), (0xFC, 0xFF, 4, PRIVATE)],
    1250: [(0x81, 0x81, 1, C1), (0x83, 0x83, 1, C1), (0x88, 0x88, 1, C1), (0x90, 0x90, 1, C1),
           (0x98, 0x98, 1, C1)],
    1251: [(0x98, 0x98, 1, C1)],
    1252: [(0x81, 0x81, 1, C1), (0x8D, 0x8D, 1, C1), (0x8F, 0x90, 2, C1), (0x9D, 0x9D, 1, C1)],
    1253: [(0x81, 0x81, 1, C1), (0x88, 0x88, 1, C1), (0x8A, 0x8A, 1, C1), (0x8C, 0x90, 5, C1),
           (0x98, 0x98, 1, C1), (0x9A, 0x9A, 1, C1), (0x9C, 0x9F, 4, C1),
           (0xAA, 0xAA, 1, PRIVATE), (0xD2, 0xD2, 1, PRIVATE), (0xFF, 0xFF, 1, PRIVATE)],
    1254: [(0x81, 0x81, 1, C1), (0x8D, 0x90, 4, C1), (0x9D, 0x9E, 2, C1)],
    1255: [(0x81, 0x81, 1, C1), (0x8A, 0x8A, 1, C1), (0x8C, 0x90, 5, C1), (0x9A, 0x9A, 1, C1),
           (0x9C, 0x9F, 4, C1),
           (0xCA, 0xCA, 1, 'HEBREW POINT HOLAM HASER FOR VAV, as Windows reads it'),
           (0xD9, 0xDF, 7, PRIVATE), (0xFB, 0xFC, 2, PRIVATE), (0xFF, 0xFF, 1, PRIVATE)],
    1256: [],
    1257: [(0x81, 0x81, 1, C1), (0x83, 0x83, 1, C1), (0x88, 0x88, 1, C1), (0x8A, 0x8A, 1, C1),
           (0x8C, 0x8C, 1, C1), (0x90, 0x90, 1, C1), (0x98, 0x98, 1, C1), (0x9A, 0x9A, 1, C1),
           (0x9C, 0x9C, 1, C1), (0x9F, 0x9F, 1, C1), (0xA1, 0xA1, 1, PRIVATE),
           (0xA5, 0xA5, 1, PRIVATE)],
    1258: [(0x81, 0x81, 1, C1), (0x8A, 0x8A, 1, C1), (0x8D, 0x90, 4, C1), (0x9A, 0x9A, 1, C1),
           (0x9D, 0x9E, 2, C1)],
    932: [(0x80, 0x80, 1, C1), (0xA0, 0xA0, 1, PRIVATE), (0xFD, 0xFF, 3, PRIVATE)],
    936: [(0x80, 0x80, 1, 'the euro sign, as Windows reads it'), (0xFF, 0xFF, 1, PRIVATE),
          (0xA140, 0xA9FE, 842, USER), (0xAAA1, 0xAFFE, 564, USER), (0xD7FA, 0xD7FE, 5, USER),
          (0xF8A1, 0xFEFE, 738, USER)],
    949: [(0x80, 0x80, 1, C1), (0xFF, 0xFF, 1, PRIVATE), (0xC9A1, 0xC9FE, 94, USER),
          (0xFEA1, 0xFEFE, 94, USER)],
    950: [(0x80, 0x80, 1, C1), (0xFF, 0xFF, 1, PRIVATE), (0x8140, 0xA0FE, 5024, USER),
          (0xC6A1, 0xC8FE, 408, USER + "; Python's cp950 has ETEN's kana and signs there"),
          (0xFA40, 0xFEFE, 785, USER)],
}

# Where several pairs read as one character, a typed one is written as
# Windows writes it, but for the ETEN row F9 D6 to F9 FE of 950: there the
# pair of Big5's own rows, as Big5 files and other encoders (Python's cp950)
# hold it.
ETEN = (0xF9D6, 0xF9FE)


def shown(value):
    return "-" if value is None else "U+%04X" % value


def codes(number):
    """Every byte, then every pair with a lead byte of 0x81 or more."""
    yield from range(256)
    if number in DOUBLE:
        yield from range(0x8100, 0x10000)


def as_bytes(code):
    return bytes([code]) if code < 0x100 else bytes([code >> 8, code & 0xFF])


def need(path, package):
    if not os.path.exists(path):
        raise SystemExit("%s is missing: install Debian's %s" % (path, package))
    return path


def read_wine(number):
    """The cells of wine's c_N.nls: {code: character}, and {character: code
    written}. A cell holding the default character that is not the default
    character's own code reads as nothing, as MultiByteToWideChar with
    MB_ERR_INVALID_CHARS tells."""
    path = need(NLS.format(number), "libwine")
    data = open(path, "rb").read()
    words = struct.unpack("<%dH" % (len(data) // 2), data)
    if len(words) < 14 or words[1] != number:
        raise SystemExit("%s is not the table of code page %d" % (path, number))
    header = words[0]
    uni_default, default_code = words[4], words[6]
    at = header
    wide = at + words[at] + 1  # the table from characters to bytes
    single = at + 1
    at = single + 256
    if words[at]:  # glyph table
        at += 256
    at += 1
    offsets = at + 1 if words[at] else None
    read = {}
    for b in range(256):
        if offsets is not None and words[offsets + b]:
            continue
        read[b] = words[single + b]
    if offsets is not None:
        for lead in range(0x81, 256):
            off = words[offsets + lead]
            if off:
                for trail in range(256):
                    read[lead << 8 | trail] = words[offsets + off + trail]
    read = {k: c for k, c in read.items() if c != uni_default or k == default_code}
    if offsets is not None:
        written = {c: words[wide + c] for c in range(0x10000)}
    else:
        written = {c: data[2 * wide + c] for c in range(0x10000)}
    return read, written


def read_python(number):
    name = "cp%d" % number
    codecs.lookup(name)
    read, written = {}, {}
    for code in codes(number):
        try:
            s = as_bytes(code).decode(name)
        except UnicodeDecodeError:
            continue
        if len(s) == 1:
            read[code] = ord(s)
            back = s.encode(name)
            written[ord(s)] = int.from_bytes(back, "big")
    return read, written


PERL = r"""
use strict; use Encode;
my ($name, $double) = @ARGV;
my $enc = find_encoding($name) or die "Perl's Encode has no $name\n";
for my $code (0 .. 255, $double ? (0x8100 .. 0xFFFF) : ()) {
    my $b = $code < 256 ? chr($code) : chr($code >> 8) . chr($code & 255);
    my $s = eval { $enc->decode($b, Encode::FB_CROAK) };
    next if length($b) || !defined $s || length($s) != 1;
    printf "%X %X\n", $code, ord($s);
}
"""


def read_perl(number):
    try:
        run = subprocess.run(["perl", "-e", PERL, "cp%d" % number, str(int(number in DOUBLE))],
                             capture_output=True, text=True, timeout=120)
    except FileNotFoundError:
        raise SystemExit("perl is missing: install Debian's perl")
    if run.returncode != 0:
        raise SystemExit("Perl's Encode cannot read cp%d: %s" % (number, run.stderr.strip()))
    out = run.stdout
    return {int(a, 16): int(b, 16) for a, b in (line.split() for line in out.splitlines())}


def read_glibc(number):
    read = {}
    with gzip.open(need(CHARMAPS.format(GLIBC[number]), "locales"), "rt", encoding="ascii") as f:
        for line in f:
            if line.startswith("%IRREVERSIBLE%"):
                line = line[len("%IRREVERSIBLE%"):]
            if not line.startswith("<U") or "/x" not in line:
                continue
            char, rest = line.split(None, 1)
            parts = rest.split()[0].split("/x")[1:]
            if len(char) != 7 or len(parts) > 2:
                continue
            read[int("".join(parts), 16)] = int(char[2:6], 16)
    return read


def decide(number, report=None):
    """The table of the editor: ({code: character}, {character: pair written})."""
    windows, windows_written = read_wine(number)
    python, python_written = read_python(number)
    others = {"Microsoft's table (Python)": python, "Perl's Encode": read_perl(number),
              "glibc": read_glibc(number)}
    decided = DECIDED[number]
    differing = [0] * len(decided)
    problems = []
    for code in codes(number):
        if code >= 0x100 and (code >> 8) < 0x81:
            continue
        values = [windows.get(code)] + [t.get(code) for t in others.values()]
        if len(set(values)) == 1:
            continue
        where = [i for i, (first, last, _, _) in enumerate(decided) if first <= code <= last]
        if report is not None:
            report.append((number, code, values, decided[where[0]][3] if where else "NOT DECIDED"))
        if not where:
            problems.append("%d %X: the tables differ (%s) and DECIDED has no word on it"
                            % (number, code, ", ".join(shown(v) for v in values)))
        for i in where:
            differing[i] += 1
    for (first, last, count, _), found in zip(decided, differing):
        if found != count:
            problems.append("%d %X-%X: DECIDED for %d differing cells, but %d differ now"
                            % (number, first, last, count, found))
    for b in range(0x80):
        if windows.get(b, b) != b:
            problems.append("%d %X: not ASCII in Windows' table" % (number, b))
    if problems:
        raise SystemExit("\n".join(problems))

    table = dict(windows)
    # The program's tables take 0 for "no character" in a pair and 0xFFFF
    # for "none" in a byte.
    if 0xFFFF in table.values() or any(c == 0 for k, c in table.items() if k >= 0x100):
        raise SystemExit("%d: a cell reads as U+0000 or U+FFFF" % number)
    if number in SINGLE:
        # The editor keeps a byte without a character of its own as a
        # private-use one; Windows' single-byte tables have none such.
        if len(set(table.get(b) for b in range(256)) - {None}) != 256:
            raise SystemExit("%d: not every byte has a character of its own" % number)
        return table, {}
    # A typed character whose pairs are several: the one Windows writes.
    pairs_of = {}
    for code, c in sorted(table.items()):
        if code >= 0x100:
            pairs_of.setdefault(c, []).append(code)
    written = {}
    for c, pairs in pairs_of.items():
        if len(pairs) < 2:
            continue
        pair = windows_written[c]
        if pair not in pairs:
            raise SystemExit("%d U+%04X: Windows writes %X, which reads as another" % (number, c, pair))
        if ETEN[0] <= pair <= ETEN[1] and number == 950:
            pair = python_written[c]
        written[c] = pair
    return table, written


HEAD = """// Windows-{n}: written by scripts/codepages.py from Windows' own table (wine's
// c_{n}.nls) and checked against Microsoft's tables as Python, Perl and glibc
// carry them. Do not edit: change the script and run it again.
#include "codepagetables.h"

// clang-format off
"""


def source(number, table, written):
    kept = 0xFFFF
    lines = [HEAD.format(n=number)]
    lines.append("static const char16_t kBytes[256] = {\n")
    for row in range(0, 256, 8):
        cells = ", ".join("0x%04X" % table.get(b, kept) for b in range(row, row + 8))
        lines.append("    %s, // %02X\n" % (cells, row))
    lines.append("};\n")
    pairs = sorted((code, c) for code, c in table.items() if code >= 0x100)
    second = sorted((pair, c) for c, pair in written.items())
    for name, items in (("kPairs", pairs), ("kWritten", second)):
        if not items:
            continue
        lines.append("static const CodePageTable::Pair %s[] = {\n" % name)
        lines.extend("    {0x%04X, 0x%04X},\n" % item for item in items)
        lines.append("};\n")
    count = lambda items, name: ("%s, %d" % (name, len(items))) if items else "nullptr, 0"
    lines.append("// clang-format on\n\n")
    lines.append("extern const CodePageTable kCodePage%d;\n" % number)
    lines.append("const CodePageTable kCodePage%d = {kBytes, %s, %s};\n"
                 % (number, count(pairs, "kPairs"), count(second, "kWritten")))
    return "".join(lines)


def index():
    numbers = SINGLE + DOUBLE
    lines = ["// Written by scripts/codepages.py: every code page table. Do not edit.\n",
             '#include "codepagetables.h"\n\n']
    lines.extend("extern const CodePageTable kCodePage%d;\n" % n for n in numbers)
    lines.append("\nconst CodePageTable *codePageTable(int number)\n{\n    switch (number) {\n")
    lines.extend("    case %d:\n        return &kCodePage%d;\n" % (n, n) for n in numbers)
    lines.append("    default:\n        return nullptr;\n    }\n}\n")
    return "".join(lines)


def main():
    parser = argparse.ArgumentParser(description="Writes the code page tables in core/codepages/.")
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--check", action="store_true",
                      help="write nothing; fail when a checked-in table is not what would be written")
    mode.add_argument("--differences", action="store_true",
                      help="write nothing; print every cell where the tables differ")
    args = parser.parse_args()
    report = [] if args.differences else None
    files = {}
    problems = []
    for number in SINGLE + DOUBLE:
        try:
            table, written = decide(number, report)
        except SystemExit as stop:
            if report is None:
                raise
            problems.append(str(stop))
            continue
        files["cp%d.cpp" % number] = source(number, table, written)
    files["all.cpp"] = index()
    if report is not None:
        print("code page\tcell\tWindows (wine)\tPython\tPerl\tglibc\tdecided")
        for number, code, values, why in report:
            print("%d\t%X\t%s\t%s" % (number, code, "\t".join(map(shown, values)), why))
        print("\n".join(problems), file=sys.stderr)
        return 1 if problems else 0
    stale = []
    for name, text in sorted(files.items()):
        path = os.path.join(OUT, name)
        if args.check:
            old = open(path, encoding="utf-8").read() if os.path.exists(path) else None
            if old != text:
                stale.append(name)
        else:
            os.makedirs(OUT, exist_ok=True)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
    if stale:
        print("Not what scripts/codepages.py writes: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
