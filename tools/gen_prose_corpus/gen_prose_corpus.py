#!/usr/bin/env python3
"""Generates tests/spelling/data/ProseCorpus.txt, real Vietnamese prose for
the regression test of the spelling corrections (no correct word may change).

Source: the Vietnamese message catalogues (vi.po, shipped compiled as
/usr/share/locale/vi/LC_MESSAGES/*.mo) of Debian 12 packages, fetched with
`apt-get download` into a temporary folder and unpacked with `dpkg-deb -x`
(nothing is installed). --debs DIR uses .deb files already in DIR.

    package     catalogue             licence (the package's copyright file;
                                      each catalogue's header says it is under
                                      the package's licence)
    coreutils   coreutils.mo          GPL-3+
    git         git.mo                GPL-2
    bash        bash.mo               GPL-3+
    dpkg        dpkg.mo               GPL-2+
    tar         tar.mo                GPL-3+
    wget        wget.mo               GPL-3+
    apt         apt.mo                GPL-2+
    gettext     gettext-tools.mo      GPL-3+
    findutils   findutils.mo          GPL-3+

The corpus, derived from those translations, is under the GPL-3+ (the GPL-2
only part, git, is kept in its own marked section so it can be separated).

What is kept: every translated string (msgstr, each plural form) is NFC
normalised and cut into runs of Vietnamese words. A word is a run of letters
that, lower-cased, is a well-formed syllable of the rhyme model of
tools/gen_syllables (so words missing from the dictionary still count); words
are joined by one space, and a word may carry one of , . ; : ! ? right after
it (which ends the run when it is not followed by a space and a word). Anything
else (format directives, program names, English, digits, quotes, brackets,
accelerator marks) ends the run. A run is kept when it has at least two words
and most of its words carry a Vietnamese letter (not plain ASCII), which drops
English phrases whose words happen to be valid syllables. Runs are kept once,
in the order met.

Output: UTF-8, LF; lines starting with "#" are comments (the section headers
name the package of the lines below them); every other line is one run.

Usage: gen_prose_corpus.py [--debs DIR] [--out FILE]
"""

import argparse
import glob
import os
import re
import struct
import subprocess
import sys
import tempfile
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))

PACKAGES = [  # (package, catalogue, licence)
    ("coreutils", "coreutils.mo", "GPL-3+"),
    ("git", "git.mo", "GPL-2"),
    ("bash", "bash.mo", "GPL-3+"),
    ("dpkg", "dpkg.mo", "GPL-2+"),
    ("tar", "tar.mo", "GPL-3+"),
    ("wget", "wget.mo", "GPL-3+"),
    ("apt", "apt.mo", "GPL-2+"),
    ("gettext", "gettext-tools.mo", "GPL-3+"),
    ("findutils", "findutils.mo", "GPL-3+"),
]
LOCALE_DIR = "usr/share/locale/vi/LC_MESSAGES"

WORD = re.compile(r"[^\W\d_]+")
PUNCT = ",.;:!?"


def read_mo(path):
    """The translated strings of a .mo file (the header entry left out)."""
    with open(path, "rb") as f:
        data = f.read()
    magic = struct.unpack("<I", data[:4])[0]
    order = "<" if magic == 0x950412DE else ">"
    count, originals, translations = struct.unpack(order + "III", data[8:20])
    out = []
    for i in range(count):
        olen, _ = struct.unpack(order + "II", data[originals + 8 * i:originals + 8 * i + 8])
        tlen, toff = struct.unpack(order + "II", data[translations + 8 * i:translations + 8 * i + 8])
        if olen == 0:
            continue  # the header
        text = data[toff:toff + tlen].decode("utf-8", "replace")
        out += text.split("\0")  # plural forms
    return out


_SYLLABLES = None


def is_word(token):
    global _SYLLABLES
    if _SYLLABLES is None:
        with open(os.path.join(ROOT, "Resources", "TuDien.txt"), encoding="utf-8-sig") as f:
            _SYLLABLES = {line.rstrip("\r\n") for line in f} - {""}
    return token.lower() in _SYLLABLES


def runs(text):
    """Runs of Vietnamese words in one translated string."""
    text = unicodedata.normalize("NFC", text)
    out = []
    current = []

    def close():
        if len(current) >= 2:
            vietnamese = sum(1 for w in current if any(ord(c) > 127 for c in w))
            if 2 * vietnamese > len(current):
                out.append(" ".join(current))
        current.clear()

    pos = 0
    while pos < len(text):
        m = WORD.match(text, pos)
        if not m:
            close()
            pos += 1
            continue
        word = m.group(0)
        end = m.end()
        # A word glued to something other than a space or end (an
        # accelerator, an apostrophe, a digit) is not prose.
        glued_before = pos > 0 and not text[pos - 1].isspace() and text[pos - 1] not in "(\"'“‘"
        if glued_before or not is_word(word):
            close()
            pos = end
            while pos < len(text) and not text[pos].isspace():
                pos += 1
            continue
        after = text[end] if end < len(text) else ""
        if after and after in PUNCT:
            token = word + after
            end += 1
            follow = text[end] if end < len(text) else ""
            current.append(token)
            if follow == " " and WORD.match(text, end + 1):
                pos = end + 1
            else:
                close()
                pos = end
            continue
        if after == " " or after == "":
            current.append(word)
            pos = end + 1 if after == " " else end
            # Two spaces or a space before a non-word end the run.
            if after == " " and not WORD.match(text, pos):
                close()
            continue
        # Followed by anything else: the word ends the run.
        current.append(word)
        close()
        pos = end
    close()
    return out


def fetch(debs):
    tmp = tempfile.mkdtemp(prefix="gen_prose_corpus.")
    if debs is None:
        debs = tmp
        subprocess.run(["apt-get", "download"] + [p for p, _, _ in PACKAGES], cwd=tmp, check=True)
    root = os.path.join(tmp, "root")
    for deb in sorted(glob.glob(os.path.join(debs, "*.deb"))):
        subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
    return root


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--debs", help="folder with the .deb files (skips apt-get download)")
    ap.add_argument("--out", default=os.path.join(ROOT, "tests", "spelling", "data", "ProseCorpus.txt"))
    args = ap.parse_args()

    root = fetch(args.debs)
    seen = set()
    lines = ["# Vietnamese runs from Debian 12 message catalogues; generated by",
             "# tools/gen_prose_corpus/gen_prose_corpus.py (see there for sources and licences)."]
    total = 0
    for package, catalogue, licence in PACKAGES:
        path = os.path.join(root, LOCALE_DIR, catalogue)
        if not os.path.exists(path):
            sys.exit(f"{package}: {catalogue} missing")
        lines.append(f"# {package} ({catalogue}, {licence})")
        words = 0
        for text in read_mo(path):
            for run in runs(text):
                if run in seen:
                    continue
                seen.add(run)
                lines.append(run)
                words += len(run.split())
        total += words
        print(f"{package}: {words} words", file=sys.stderr)
    print(f"total: {total} words, {len(lines)} lines", file=sys.stderr)
    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
