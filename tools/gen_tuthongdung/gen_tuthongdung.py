#!/usr/bin/env python3
"""Generates src/spelling/TuThongDungData.inc: what real Vietnamese prose says
about the words the compound correction may change.

The compound correction turns a pair of words that is not a compound into one
that is (chương trình for trương trình). Both words of a pair it would change
are often correct words that merely stand next to each other (các bản, một
thông), so it needs evidence from real prose. This generator counts, in a
reference body of Vietnamese text:

* the common words: every syllable seen at least MIN_COUNT times, with its
  count (the correction leaves such a word alone when it is more common than
  the word it would become);
* the attested pairs: two words seen side by side (one space between them)
  that are not a compound of Resources/TuDienTuGhep.txt but that one of the
  correction's candidates (initial, final or hỏi/ngã partner of either word)
  would turn into one, seen at least MIN_PAIR_COUNT times and more often than
  the pair the correction would make (so the translators' own misspellings,
  bổ xung beside bổ sung, do not count). Such a pair is never changed.

Reference prose (none of it is used by the tests' prose corpus, nor any
LibreOffice help text), fetched with `apt-get download` and unpacked with
`dpkg-deb -x`, nothing installed; --debs DIR uses .deb files already there:

    manpages-vi           Vietnamese manual pages             GPL-3+
    maint-guide-vi        Debian New Maintainers' Guide       GPL-2+
    firefox-esr-l10n-vi   Firefox ESR language pack           MPL-2.0
    thunderbird-l10n-vi   Thunderbird language pack           MPL-2.0
    the Vietnamese message catalogues (vi.po, shipped as .mo) of libc-l10n
    (LGPL-2.1+), binutils-common (GPL-3+), libgtk2.0-common (LGPL-2+),
    libglib2.0-data (LGPL-2.1+), procps (GPL-2+), login (BSD-3-clause),
    make (GPL-3+), util-linux-locales (GPL-2+), debconf-i18n (BSD-2-clause),
    man-db (GPL-2+), psmisc (GPL-2+), xz-utils (public domain), sed, grep,
    diffutils, nano (GPL-3+), e2fsprogs-l10n (GPL-2)

Only counts of words and a list of word pairs are written, not the text.
Words are cut out as in tools/gen_prose_corpus (runs of well-formed
syllables). Regenerate after Resources/TuDienTuGhep.txt changes.

Usage: gen_tuthongdung.py [--debs DIR] [--out FILE]
"""

import argparse
import collections
import glob
import gzip
import os
import re
import subprocess
import sys
import tempfile
import unicodedata
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "gen_syllables"))
sys.path.insert(0, os.path.join(ROOT, "tools", "gen_prose_corpus"))
import gen_syllables  # noqa: E402  (split: the rhyme model)
import gen_prose_corpus  # noqa: E402  (read_mo, runs)

PACKAGES = ["manpages-vi", "maint-guide-vi", "firefox-esr-l10n-vi", "thunderbird-l10n-vi",
            "libc-l10n", "binutils-common", "libgtk2.0-common", "libglib2.0-data", "procps",
            "login", "make", "util-linux-locales", "debconf-i18n", "man-db", "psmisc",
            "xz-utils", "sed", "grep", "diffutils", "e2fsprogs-l10n", "nano"]
MIN_COUNT = 200
MIN_PAIR_COUNT = 1

INITIALS = {"s": "x", "x": "s", "l": "r", "r": "l", "ch": "tr", "tr": "ch", "ng": "ngh",
            "ngh": "ng", "g": "gh", "gh": "g"}
FINALS = {"c": "t", "t": "c", "n": "ng", "ng": "n"}
HOI, NGA = "\u0309", "\u0303"


def fetch(debs):
    tmp = tempfile.mkdtemp(prefix="gen_tuthongdung.")
    if debs is None:
        debs = tmp
        subprocess.run(["apt-get", "download"] + PACKAGES, cwd=tmp, check=True)
    root = os.path.join(tmp, "root")
    for deb in sorted(glob.glob(os.path.join(debs, "*.deb"))):
        subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
    return root


def texts(root):
    """Every piece of reference text, one string each."""
    for mo in sorted(glob.glob(os.path.join(root, "usr/share/locale/vi/LC_MESSAGES/*.mo"))):
        yield from gen_prose_corpus.read_mo(mo)
    pages = sorted(glob.glob(os.path.join(root, "usr/share/man/vi/**/*.gz"), recursive=True))
    pages += glob.glob(os.path.join(root, "usr/share/doc/maint-guide-vi/*.txt.gz"))
    for page in pages:
        text = gzip.open(page).read().decode("utf-8", "replace")
        # Paragraphs (blank lines, roff requests) with their lines joined.
        for para in re.split(r"\n\s*\n|\n\.", text):
            yield " ".join(para.split())
    for xpi in sorted(glob.glob(os.path.join(root, "usr/lib/**/*.xpi"), recursive=True)):
        with zipfile.ZipFile(xpi) as z:
            for name in sorted(z.namelist()):
                if not name.endswith((".ftl", ".properties", ".dtd")):
                    continue
                for line in z.read(name).decode("utf-8", "replace").splitlines():
                    if line.startswith("#"):
                        continue
                    m = re.search(r'"(.*)"', line) if name.endswith(".dtd") else re.search(r"[=:]\s*(.*)$", line)
                    if m:
                        yield m.group(1)


def count(root):
    words = collections.Counter()
    pairs = collections.Counter()
    for text in texts(root):
        for run in gen_prose_corpus.runs(text):
            tokens = run.split()
            for i, token in enumerate(tokens):
                word = token.lower().rstrip(gen_prose_corpus.PUNCT)
                words[word] += 1
                if i + 1 < len(tokens) and token[-1] not in gen_prose_corpus.PUNCT:
                    pairs[(word, tokens[i + 1].lower().rstrip(gen_prose_corpus.PUNCT))] += 1
    return words, pairs


def initial_final(word):
    parts = gen_syllables.split(word)
    return (parts[0], parts[2]) if parts else (None, None)


def swap_tone(word):
    d = unicodedata.normalize("NFD", word)
    if HOI in d:
        return unicodedata.normalize("NFC", d.replace(HOI, NGA))
    if NGA in d:
        return unicodedata.normalize("NFC", d.replace(NGA, HOI))
    return None


def variants(word):
    """The word with its initial, final and hỏi/ngã tone replaced by the
    partner, in that order (None where the word has no such part)."""
    initial, final = initial_final(word)
    return [INITIALS[initial] + word[len(initial):] if initial in INITIALS else None,
            word[:len(word) - len(final)] + FINALS[final] if final in FINALS else None,
            swap_tone(word)]


def correction(a, b, compounds):
    """The pair the correction would make of "a b", or None: per family
    (initials, finals, tones) the current word, the previous word, both."""
    if f"{a} {b}" in compounds:
        return None
    for x, y in zip(variants(a), variants(b)):
        for pair in ((a, y), (x, b), (x, y)):
            if pair[0] and pair[1] and f"{pair[0]} {pair[1]}" in compounds:
                return pair
    return None


def utf16_key(s):
    return s.encode("utf-16-be")


def literal(s):
    return 'u"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--debs", help="folder with the .deb files (skips apt-get download)")
    ap.add_argument("--out", default=os.path.join(ROOT, "src", "spelling", "TuThongDungData.inc"))
    args = ap.parse_args()

    with open(os.path.join(ROOT, "Resources", "TuDienTuGhep.txt"), encoding="utf-8") as f:
        compounds = set(f.read().split("\n")[1:])
    compounds.discard("")

    words, pairs = count(fetch(args.debs))
    total = sum(words.values())
    common = sorted(((w, c) for w, c in words.items() if c >= MIN_COUNT), key=lambda x: utf16_key(x[0]))
    attested = []
    for (a, b), n in pairs.items():
        fixed = correction(a, b, compounds)
        # Seen at least twice and more often than what the correction would
        # make of it: translators misspell too (bổ xung, năng xuất).
        if fixed and n >= MIN_PAIR_COUNT and n > pairs[fixed]:
            attested.append(f"{a} {b}")
    attested.sort(key=utf16_key)
    print(f"{total} words, {len(common)} common, {len(attested)} attested pairs", file=sys.stderr)

    out = ["// Generated by tools/gen_tuthongdung/gen_tuthongdung.py; do not edit by hand.",
           f"// Counts from {total} words of reference Vietnamese prose (see the generator for",
           "// the sources and their licences). Both lists are in UTF-16 code-unit order.",
           "",
           f"constexpr int kCommonCount = {MIN_COUNT};",
           "",
           "constexpr CommonWord kCommonWords[] = {"]
    out += [f"    {{{literal(w)}, {c}}}," for w, c in common]
    out += ["};", "", "constexpr std::u16string_view kAttestedPairs[] = {"]
    out += [f"    {literal(p)}," for p in attested]
    out += ["};"]
    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
