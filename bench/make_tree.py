#!/usr/bin/env python3
"""Generates an installation tree like a school's Quendra installation, for the archive benchmark.

Nested folders with names outside ASCII; incompressible binaries (programs, libraries, images,
packed files); dBASE-like tables of fixed-width records, which compress well; text and ini files;
empty files. The same preset and seed give the same tree, byte for byte.

    make_tree.py <preset> <folder> [--seed N]

Presets: small (about 40 MB, 300 files), medium (about 400 MB, 3,000 files, half of the bytes
incompressible), large (about 2 GB, 15,000 files), many (60,000 small files), bigfile (one file
of 2 GB, for the memory bound).
"""

import argparse
import os
import random
import struct
import sys

MB = 1 << 20

# name: (files, total bytes, share of incompressible bytes)
PRESETS = {
    "small": (300, 40 * MB, 0.5),
    "medium": (3000, 400 * MB, 0.5),
    "large": (15000, 2000 * MB, 0.5),
    "many": (60000, 240 * MB, 0.3),
}

FOLDERS = ["Programm", "Programm/Module", "Programm/Hilfe", "Daten", "Daten/Schüler",
           "Daten/Fächer", "Daten/NKK", "Formulare", "Formulare/Zeugnisvorlagen",
           "Formulare/Zeugnisvorlagen/Übergänge", "Formulierungen", "Formulierungen/Verhalten",
           "Bilder", "Bilder/Wappen", "Sicherung", "Sicherung/Ältere Stände", "Berichte",
           "Berichte/Größen", "Import", "Import/Schuljahr 2019-20"]

WORDS = ("Zeugnis Schüler Klasse Note Fach Deutsch Mathematik Englisch Sachunterricht Sport "
         "Musik Kunst Religion Verhalten Mitarbeit Halbjahr Versetzung Förderung Bemerkung "
         "Lehrerin Lehrer Konferenz Schuljahr Prüfung Übergang Empfehlung gut befriedigend "
         "ausreichend sehr mangelhaft arbeitet zuverlässig beteiligt sich aktiv am Unterricht "
         "zeigt großes Interesse und die der das mit im in ist hat").split()
SURNAMES = ("Müller Schmidt Schneider Fischer Weber Meyer Wagner Becker Schulz Hoffmann Schäfer "
            "Koch Bauer Richter Klein Wolf Schröder Neumann Schwarz Zimmermann Braun Krüger "
            "Hofmann Hartmann Lange Schmitt Werner Krause Meier Lehmann Jäger Köhler").split()
FIRST_NAMES = ("Anna Ben Clara David Emma Finn Greta Hannah Jonas Lea Lena Lukas Marie Mia "
               "Noah Paul Sophie Tim Jörg Sören Zoë Björn Lötte Ülrike").split()
SUBJECTS = ["DE", "MA", "EN", "SU", "SP", "MU", "KU", "RE", "WU", "IN"]

BINARY_KINDS = [".exe", ".dll", ".bmp", ".zip", ".ocx", ".jpg"]
TABLE_KINDS = [".dbf", ".cdx", ".fpt"]
TEXT_KINDS = [".txt", ".ini", ".rtf", ".log"]


FIELDS = [(b"NAME", b"C", 30), (b"VORNAME", b"C", 20), (b"KLASSE", b"C", 4), (b"FACH", b"C", 4),
          (b"NOTE", b"N", 2), (b"DATUM", b"D", 8), (b"BEMERKUNG", b"C", 60), (b"LEHRER", b"C", 12)]


def table_rows(rng):
    """A pool of records, each a little different; the tables repeat them in random order, as
    real tables repeat names, classes and remarks."""
    rows = []
    for _ in range(4000):
        row = (f" {rng.choice(SURNAMES):<30}{rng.choice(FIRST_NAMES):<20}"
               f"{rng.randint(1, 4)}{rng.choice('abcd'):<3}{rng.choice(SUBJECTS):<4}"
               f"{rng.randint(1, 6):>2}2019{rng.randint(1, 12):02}{rng.randint(1, 28):02}"
               f"{' '.join(rng.choices(WORDS, k=rng.randint(0, 7)))[:60]:<60}"
               f"{rng.choice(SURNAMES)[:12]:<12}")
        rows.append(row.encode("cp1252"))
    return rows


def dbase_table(rng, rows, size):
    """A dBASE III-like table: header, field descriptors, fixed-width records, end mark."""
    record_length = 1 + sum(width for _, _, width in FIELDS)
    header_length = 32 + 32 * len(FIELDS) + 1
    records = max(0, (size - header_length - 1) // record_length)
    out = bytearray(struct.pack("<BBBBIHH20x", 3, 119, 11, 1, records, header_length,
                                record_length))
    for name, kind, width in FIELDS:
        out += struct.pack("<11sc4xBB14x", name, kind, width, 0)
    out += b"\r"
    out += b"".join(rng.choices(rows, k=records))
    out += b"\x1a"
    out += b" " * (size - len(out))
    return bytes(out[:size])


def text_file(rng, size):
    lines = []
    length = 0
    while length < size:
        line = " ".join(rng.choices(WORDS, k=rng.randint(3, 14))) + "\r\n"
        lines.append(line)
        length += len(line.encode("cp1252"))
    return "".join(lines).encode("cp1252")[:size]


def file_sizes(rng, count, total):
    """Sizes from a wide log-normal spread (a few large tables and programs, many small files)
    that add up to about `total`."""
    raw = [rng.lognormvariate(0, 1.6) for _ in range(count)]
    scale = total / sum(raw)
    return [int(r * scale) for r in raw]


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def make_tree(preset, root, seed):
    rng = random.Random(f"{preset}-{seed}")
    files, total, incompressible = PRESETS[preset]
    sizes = file_sizes(rng, files, total)
    rows = table_rows(rng)
    # Every 40th file is empty; about `incompressible` of the bytes are binaries, the rest
    # tables (four fifths) and text.
    order = sorted(range(files), key=lambda i: -sizes[i])
    binary_budget = total * incompressible
    kinds = {}
    for i in order:
        if i % 40 == 39:
            kinds[i] = "empty"
        elif binary_budget > 0 and rng.random() < 0.5:
            kinds[i] = "binary"
            binary_budget -= sizes[i]
        else:
            kinds[i] = "table" if rng.random() < 0.8 else "text"
    for i in range(files):
        folder = rng.choice(FOLDERS)
        kind = kinds[i]
        if kind == "binary":
            suffix, data = rng.choice(BINARY_KINDS), rng.randbytes(sizes[i])
        elif kind == "table":
            suffix, data = rng.choice(TABLE_KINDS), dbase_table(rng, rows, sizes[i])
        elif kind == "text":
            suffix, data = rng.choice(TEXT_KINDS), text_file(rng, sizes[i])
        else:
            suffix, data = ".tmp", b""
        name = f"{rng.choice(SURNAMES)}_{i:05}{suffix}"
        write(os.path.join(root, *folder.split("/"), name), data)


def make_bigfile(root, seed):
    """One table of 2 GB, half of it incompressible: the archive must stream it."""
    rng = random.Random(f"bigfile-{seed}")
    path = os.path.join(root, "Daten", "Gesamtarchiv.dbf")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    table = dbase_table(rng, table_rows(rng), 8 * MB)
    with open(path, "wb") as out:
        for _ in range(128):
            out.write(table)
            out.write(rng.randbytes(8 * MB))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("preset", choices=sorted(PRESETS) + ["bigfile"])
    parser.add_argument("folder", help="the installation folder to create (must not exist)")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    if os.path.exists(args.folder):
        sys.exit(f"{args.folder} exists already")
    if args.preset == "bigfile":
        make_bigfile(args.folder, args.seed)
    else:
        make_tree(args.preset, args.folder, args.seed)


if __name__ == "__main__":
    main()
