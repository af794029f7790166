#!/usr/bin/env python3
"""Generates Resources/TuGhepThongDung.txt: the compound words of
Resources/TuDienTuGhep.txt that real Vietnamese prose uses, most used first.

The suggestion list orders the candidates of each matching step by this list
(the user's own earlier choices still come first); compound words it does not
hold keep dictionary order after those it holds.

Source: tests/spelling/data/ProseCorpus.txt, the prose cut from the
Vietnamese message catalogues of Debian 12 packages (see
tests/spelling/data/README.md for the packages and their licences). Only the
lines at even positions (0, 2, 4, ... counting the corpus lines that are not
comments) are counted; the lines at odd positions are kept apart for the
test that measures the ordering (tests/spelling/SuggestionRankingTest.cpp),
so that the measure is not taken on the text the counts came from.

Counting: each line is lower-cased and cut into words at spaces and
punctuation; every run of 2 to 4 neighbouring words that is an entry of the
dictionary counts once for that entry. Only the entries and their order are
written, no text of the corpus.

Format: UTF-8, LF; first line the number of entries N, then N entries, most
counted first, ties in dictionary order.

Usage: gen_tughepthongdung.py [--corpus FILE] [--dictionary FILE] [--out FILE]
"""
import argparse
import collections
import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", ".."))


def corpus_lines(path):
    lines = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            lines.append(line)
    return lines


def words_of(line):
    return [w for w in re.split(r"[^\w]+", line.lower()) if w]


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--corpus", default=os.path.join(ROOT, "tests", "spelling", "data", "ProseCorpus.txt"))
    ap.add_argument("--dictionary", default=os.path.join(ROOT, "Resources", "TuDienTuGhep.txt"))
    ap.add_argument("--out", default=os.path.join(ROOT, "Resources", "TuGhepThongDung.txt"))
    args = ap.parse_args()

    with open(args.dictionary, encoding="utf-8") as f:
        entries = f.read().split("\n")[1:]
    order = {e: i for i, e in enumerate(entries) if e}

    counts = collections.Counter()
    for line in corpus_lines(args.corpus)[0::2]:
        words = words_of(line)
        for n in (2, 3, 4):
            for i in range(len(words) - n + 1):
                candidate = " ".join(words[i:i + n])
                if candidate in order:
                    counts[candidate] += 1

    ranked = sorted(counts, key=lambda e: (-counts[e], order[e]))
    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write("%d\n" % len(ranked))
        for e in ranked:
            f.write(e + "\n")
    print("%d compound words ranked from %d occurrences" % (len(ranked), sum(counts.values())), file=sys.stderr)


if __name__ == "__main__":
    main()
