#!/usr/bin/env python3
"""Generates Resources/TuDienTuGhep.txt, the compound-word dictionary.

Source: the npm package @vntk/dictionary, version 1.0.0, file data/Viet74K.txt
(about 74,000 Vietnamese words and compounds, one per line). The package is
MIT-licensed, "Copyright (c) 2017 Vietnamese Natural Language Processing
(VNTK)"; its licence text is printed by --licence.

The package is fetched with `npm pack @vntk/dictionary@1.0.0` into a temporary
folder (npm is needed only to run this generator, never by the build), or read
from a file given with --source.

Kept: entries of two or more syllables, lower-cased and NFC-normalised, split
at white space and re-joined with single spaces, whose every syllable is a line
of Resources/TuDien.txt (the single-syllable dictionary, which stands for the
well-formed syllables). Entries with hyphens, digits or foreign syllables drop
out by that rule. The result is deduplicated and sorted in Vietnamese
alphabetical order (a ă â b c d đ e ê ..., tones second), which keeps entries
with the same base first letter together (d and đ adjacent).

Output: UTF-8 without byte-order mark, LF line ends; the first line is the
number of entries, then one entry per line.

Usage: gen_tudientughep.py [--source Viet74K.txt] [--tudien TuDien.txt] [--out FILE]
"""

import argparse
import os
import subprocess
import sys
import tarfile
import tempfile
import unicodedata

PACKAGE = "@vntk/dictionary@1.0.0"
MEMBER = "package/data/Viet74K.txt"
LICENCE_MEMBER = "package/LICENSE"

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))

ALPHABET = "aăâbcdđeêfghijklmnoôơpqrstuưvwxyz"
RANK = {c: i + 1 for i, c in enumerate(ALPHABET)}  # space and others rank 0
TONE_MARKS = {"\u0300": 1, "\u0309": 2, "\u0303": 3, "\u0301": 4, "\u0323": 5}  # huyền hỏi ngã sắc nặng


def fetch_package_files():
    """Returns (Viet74K text, licence text) from the npm package."""
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run(["npm", "pack", PACKAGE, "--silent"], cwd=tmp, check=True,
                       stdout=subprocess.DEVNULL)
        tgz = [f for f in os.listdir(tmp) if f.endswith(".tgz")]
        if len(tgz) != 1:
            sys.exit("npm pack gave no single archive")
        with tarfile.open(os.path.join(tmp, tgz[0])) as tar:
            words = tar.extractfile(MEMBER).read().decode("utf-8")
            licence = tar.extractfile(LICENCE_MEMBER).read().decode("utf-8")
    return words, licence


def split_tone(ch):
    """(letter without tone, tone rank 0..5) of one NFC character."""
    decomposed = unicodedata.normalize("NFD", ch)
    tone = 0
    kept = []
    for c in decomposed:
        if c in TONE_MARKS:
            tone = TONE_MARKS[c]
        else:
            kept.append(c)
    return unicodedata.normalize("NFC", "".join(kept)), tone


def sort_key(entry):
    letters = []
    tones = []
    for ch in entry:
        base, tone = split_tone(ch)
        letters.append(RANK.get(base, 0))
        tones.append(tone)
    return (letters, tones, entry)


def compounds(words_text, syllables):
    seen = set()
    for raw in words_text.splitlines():
        entry = unicodedata.normalize("NFC", raw).lower()
        parts = entry.split()
        if len(parts) < 2 or not all(p in syllables for p in parts):
            continue
        seen.add(" ".join(parts))
    return sorted(seen, key=sort_key)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--source", help="Viet74K.txt already on disk (skips npm)")
    ap.add_argument("--tudien", default=os.path.join(ROOT, "Resources", "TuDien.txt"))
    ap.add_argument("--out", default=os.path.join(ROOT, "Resources", "TuDienTuGhep.txt"))
    ap.add_argument("--licence", action="store_true", help="print the source's licence and stop")
    args = ap.parse_args()

    if args.source and not args.licence:
        with open(args.source, encoding="utf-8") as f:
            words = f.read()
    else:
        words, licence = fetch_package_files()
        if args.licence:
            print(licence)
            return

    with open(args.tudien, encoding="utf-8-sig") as f:
        syllables = {line.rstrip("\r\n") for line in f}
    syllables.discard("")

    entries = compounds(words, syllables)
    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write(f"{len(entries)}\n")
        for e in entries:
            f.write(e + "\n")
    print(f"{len(entries)} compound words written to {args.out}", file=sys.stderr)


if __name__ == "__main__":
    main()
