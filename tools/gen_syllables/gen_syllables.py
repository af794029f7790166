#!/usr/bin/env python3
"""Generates Resources/GhepVan.ini (rhyme tables) and Resources/TuDien.txt
(single-syllable dictionary) from one rhyme model, so the two always agree.

Usage:
    tools/gen_syllables/gen_syllables.py [--out Resources] [--debs DIR] [--report]

Every source word the model drops is decided in rejected.py (a typo, a piece
of a word, an abbreviation, a loan word or a name outside the spelling, with
the reason); the run warns and exits 1 when a dropped word is not listed there,
a listed word is no longer dropped, or a typo's right spelling is not a syllable. --report prints that list by reason.

The word lists come from two Debian packages, fetched with `apt-get download`
into a temporary folder and unpacked there with `dpkg-deb -x` (nothing is
installed):
    hunspell-vi     /usr/share/hunspell/vi_VN.dic                 (GPL-2)
    fcitx5-bamboo   /usr/share/fcitx5/bamboo/vietnamese.cm.dict  (LGPL-2.1+)
--debs DIR uses .deb files already in DIR instead of downloading.

The rhyme model
---------------
A syllable is initial consonant + nucleus (vowel cluster) + final consonant,
split the way the typing engine splits it: "qu" and "gi" are initials (the u
of qu and the i of gi belong to the initial, so quyên = qu + yê + n and
giữa = gi + ưa), and "gì" is g + i.

* INITIALS: one entry per initial. c, k and qu are separate entries (and so
  are g/gh and ng/ngh) because the pair table is per entry: k, gh, ngh go
  only before i, e, ê (and the clusters that start with them), c, g, ng
  everywhere else, and q never stands alone.
* NUCLEI: every vowel cluster with its marks. Entry 4 is "uơ" (thuở, huơ);
  the "uơ with final" option adds finals 1 and 2 (n, ng) to it.
* FINALS: c n ng ch m nh p t (n and ng at indices 1 and 2).
* NUCLEUS_FINALS: which finals each nucleus takes. Clusters that end in a
  glide (ai, ao, iêu, ươi ...) and the open clusters ia, ua, ưa take none;
  ch and nh follow only a, ê, i, y and the glided oa, uê, uy.
* INITIAL_NUCLEI: which nuclei each initial takes; built from the spelling
  rules in initial_allows() below.
* Dictionary-only rules (the engine applies them itself when a word ends):
  â ă iê oă oo uâ uô ươ uyê yê need a final; finals c ch p t take only the
  sắc or nặng tone; the tone sits where one of the two placement styles puts
  it. For oa, oe, uy without a final both placements are written out
  (hòa/hoà, hòe/hoè, thủy/thuỷ).
"""

import argparse
import glob
import os
import subprocess
import sys
import tempfile
import unicodedata

import rejected

INITIALS = ["b", "c", "ch", "d", "đ", "g", "gh", "gi", "h", "k", "kh", "l", "m", "n", "ng",
            "ngh", "nh", "p", "ph", "qu", "r", "s", "t", "th", "tr", "v", "x"]

FINALS = ["c", "n", "ng", "ch", "m", "nh", "p", "t"]

ALL = set(FINALS)
# Nucleus -> finals it takes. Order is the order of the entries in the file;
# entry 4 must stay "uơ".
NUCLEUS_FINALS = [
    ("a", ALL),
    ("ă", {"c", "m", "n", "ng", "p", "t"}),
    ("â", {"c", "m", "n", "ng", "p", "t"}),
    ("e", {"c", "m", "n", "ng", "p", "t"}),
    ("uơ", set()),
    ("ê", {"ch", "m", "n", "nh", "p", "t"}),
    ("i", {"ch", "m", "n", "nh", "p", "t"}),
    ("o", {"c", "m", "n", "ng", "p", "t"}),
    ("ô", {"c", "m", "n", "ng", "p", "t"}),
    ("ơ", {"m", "n", "p", "t"}),
    ("u", {"c", "m", "n", "ng", "p", "t"}),
    ("ư", {"c", "m", "n", "ng", "t"}),
    ("y", {"ch", "n", "nh", "t"}),
    # two letters, falling glide: no final
    ("ai", set()), ("ao", set()), ("au", set()), ("ay", set()), ("âu", set()), ("ây", set()),
    ("eo", set()), ("êu", set()), ("iu", set()), ("oi", set()), ("ôi", set()), ("ơi", set()),
    ("ui", set()), ("ưi", set()), ("ưu", set()),
    # open diphthongs: no final
    ("ia", set()), ("ua", set()), ("ưa", set()),
    # closed diphthongs: need a final
    ("iê", {"c", "m", "n", "ng", "p", "t"}),
    ("yê", {"m", "n", "ng", "t"}),
    ("uô", {"c", "m", "n", "ng", "t"}),
    ("ươ", {"c", "m", "n", "ng", "p", "t"}),
    # rising glide o/u
    ("oa", ALL),
    ("oă", {"c", "m", "n", "ng", "t"}),
    ("oe", {"m", "n", "ng", "t"}),      # m: ngoém, ngoẻm
    ("oo", {"c", "ng"}),
    ("uâ", {"n", "ng", "t"}),
    ("uê", {"ch", "nh"}),
    ("uy", {"ch", "n", "nh", "p", "t"}),
    # three letters
    ("iêu", set()), ("yêu", set()), ("uôi", set()), ("ươi", set()), ("ươu", set()),
    ("oai", set()), ("oay", set()), ("oao", set()), ("oeo", set()), ("uây", set()),
    ("uya", set()), ("uyu", set()), ("uyê", {"n", "t"}),
]
NUCLEI = [n for n, _ in NUCLEUS_FINALS]
assert NUCLEI[4] == "uơ" and FINALS[1] == "n" and FINALS[2] == "ng"

NEEDS_FINAL = {"â", "ă", "iê", "oă", "oo", "uâ", "uô", "ươ", "uyê", "yê"}
STOP_FINALS = {"c", "ch", "p", "t"}

FRONT = {"e", "ê", "i", "y", "ia", "iê", "iu", "iêu", "eo", "êu"}   # k gh ngh
O_GLIDE = {"oa", "oă", "oe", "oai", "oay", "oao", "oeo"}
U_GLIDE = {"uy", "uê", "uâ", "uya", "uyê", "uyu", "uơ", "uây"}
# After qu the u glide is part of the initial. The rounded o, oa, oă, ơi and iu
# come from colloquial and southern words: quạu quọ, quềnh quoàng, quay
# quoắt, Bình Quới, líu quíu.
AFTER_QU = {"a", "ă", "â", "e", "ê", "i", "o", "ô", "ơ", "y", "ai", "ao", "au", "ay", "ây", "eo",
            "êu", "iu", "oa", "oă", "ơi", "yê"}
# y alone after an initial (lý/lí, mỹ, kỹ, quý, hy, tỷ ...).
Y_AFTER = {"đ", "d", "h", "k", "l", "m", "n", "qu", "s", "t", "th", "v", "x"}


def initial_allows(initial, nucleus):
    if initial == "qu":
        return nucleus in AFTER_QU
    if nucleus in ("yê", "yêu"):
        return False                  # yê only with no initial or after qu
    if nucleus == "y":
        return initial in Y_AFTER
    if initial in ("k", "gh", "ngh"):
        return nucleus in FRONT and not (initial == "gh" and nucleus in ("ia", "iu", "iêu"))
    front = nucleus in FRONT
    if initial in ("c", "ng"):
        if front:
            return False
    if initial == "g":
        # g + i is "gì", "gìn": the i is both the end of gi and the nucleus.
        if front and nucleus != "i":
            return False
    if initial == "gi":
        # the i is already in the initial; ê stands for iê (giêng, giết)
        if nucleus.startswith("i") or nucleus in ("e", "y"):
            return nucleus == "e"     # gièm
        if nucleus in O_GLIDE or nucleus in U_GLIDE:
            return False
        return True
    if initial == "c" and (nucleus in O_GLIDE or nucleus in U_GLIDE):
        return False                  # written qu
    return True


INITIAL_NUCLEI = [[i for i, n in enumerate(NUCLEI) if initial_allows(p, n)] for p in INITIALS]

# ---------------------------------------------------------------- letters

TONED = {}  # toned letter -> (base letter, tone 1..5)
BASES = "aăâeêioôơuưy"
for base in BASES:
    for tone, mark in enumerate(["\u0301", "\u0300", "\u0309", "\u0303", "\u0323"], start=1):
        TONED[unicodedata.normalize("NFC", base + mark)] = (base, tone)
VOWELS = set(BASES) | set(TONED)
CONSONANTS = set("bcdđghklmnpqrstvx")
TONE_MARK = {1: "\u0301", 2: "\u0300", 3: "\u0309", 4: "\u0303", 5: "\u0323"}


def add_tone(base, tone):
    return unicodedata.normalize("NFC", base + TONE_MARK[tone]) if tone else base


def split(word):
    """(initial, nucleus without tone, final, tone, tone position in nucleus) or None."""
    if not word or any(c not in VOWELS and c not in CONSONANTS for c in word):
        return None
    i = 0
    if word.startswith("qu"):
        i = 2
    else:
        while i < len(word) and word[i] in CONSONANTS:
            i += 1
    initial = word[:i]
    j = i
    while j < len(word) and word[j] in VOWELS:
        j += 1
    vowels, final = word[i:j], word[j:]
    if initial == "g" and len(vowels) > 1 and vowels[0] == "i":
        initial, vowels = "gi", vowels[1:]
    if not vowels or any(c in VOWELS for c in final):
        return None
    tone, pos, plain = 0, -1, ""
    for k, c in enumerate(vowels):
        if c in TONED:
            if tone:
                return None           # two tones
            plain += TONED[c][0]
            tone, pos = TONED[c][1], k
        else:
            plain += c
    return initial, plain, final, tone, pos


def tone_positions(nucleus, final):
    """Positions where either placement style puts the tone."""
    n = len(nucleus)
    if n == 1:
        return {0}
    marked = [k for k, c in enumerate(nucleus) if c in "ăâêôơư"]
    if marked:
        return {marked[-1]}           # ươ: on the ơ
    if final:
        return {n - 1}
    if n == 3:
        return {1}
    if nucleus in ("oa", "oe", "uy"):
        return {0, 1}                 # hòa / hoà
    return {0}


def well_formed(parts):
    initial, nucleus, final, tone, pos = parts
    if nucleus not in NUCLEI:
        return False
    n = NUCLEI.index(nucleus)
    if initial:
        if initial not in INITIALS:
            return False
        if n not in INITIAL_NUCLEI[INITIALS.index(initial)]:
            return False
    elif nucleus.startswith("iê"):
        return False                  # written yê at the start of a word
    if final:
        rhyme = "iê" if (initial == "gi" and nucleus == "ê") else nucleus
        if final not in FINALS or FINALS.index(final) not in [
                FINALS.index(f) for f in NUCLEUS_FINALS[NUCLEI.index(rhyme)][1]]:
            return False
        if final in STOP_FINALS and tone not in (1, 5):
            return False
    elif nucleus in NEEDS_FINAL:
        return False
    if tone and pos not in tone_positions(nucleus, final):
        return False
    return True


def spellings(parts):
    initial, nucleus, final, tone, _ = parts
    out = set()
    for p in (tone_positions(nucleus, final) if tone else {-1}):
        v = "".join(add_tone(c, tone) if k == p else c for k, c in enumerate(nucleus))
        out.add(initial + v + final)
    return out


# ---------------------------------------------------------------- sources

def fetch(debs):
    tmp = tempfile.mkdtemp(prefix="gen_syllables.")
    if debs is None:
        debs = tmp
        subprocess.run(["apt-get", "download", "hunspell-vi", "fcitx5-bamboo"], cwd=tmp, check=True)
    root = os.path.join(tmp, "root")
    for deb in sorted(glob.glob(os.path.join(debs, "*.deb"))):
        subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
    return root


def read_words(root):
    words = []
    dic = os.path.join(root, "usr/share/hunspell/vi_VN.dic")
    with open(dic, encoding="utf-8") as f:
        lines = f.read().splitlines()
    words += [l.split("/")[0].strip() for l in lines[1:]]        # first line: count
    cm = os.path.join(root, "usr/share/fcitx5/bamboo/vietnamese.cm.dict")
    with open(cm, encoding="utf-8") as f:
        words += [l.strip() for l in f]
    return words


# ---------------------------------------------------------------- output

def write_ini(path):
    out = ["; Rhyme tables: initials (PAD), nuclei (NA), finals (PAC) and which may follow which.",
           "; Generated by tools/gen_syllables/gen_syllables.py; do not edit by hand.",
           "; Nucleus 4 is uơ; finals 1 and 2 (n, ng) are the ones the \"uơ with a final\" option adds to it.",
           ""]
    for name, items in (("CacPAD", INITIALS), ("CacNA", NUCLEI), ("CacPAC", FINALS)):
        out.append(f"{name}.Count={len(items)}")
        out += [f"{name}.{i}={s}" for i, s in enumerate(items)]
        out.append("")
    for i, lst in enumerate(INITIAL_NUCLEI):
        out.append(f"PAD_NA.{i}=" + " ".join(map(str, lst)))
    out.append("")
    for i, (_, finals) in enumerate(NUCLEUS_FINALS):
        out.append(f"NA_PAC.{i}=" + " ".join(str(FINALS.index(f)) for f in FINALS if f in finals))
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "../../Resources"))
    ap.add_argument("--debs")
    ap.add_argument("--report", action="store_true",
                    help="print the dropped words by reason (Markdown, for Resources/README.md)")
    args = ap.parse_args()

    root = fetch(args.debs)
    words, dropped = set(), set()
    for raw in read_words(root):
        w = unicodedata.normalize("NFC", raw).lower()
        parts = split(w)
        if parts and well_formed(parts):
            words |= spellings(parts)
        elif w:
            dropped.add(w)
    write_ini(os.path.join(args.out, "GhepVan.ini"))
    # Sorted by UTF-16 code units, the order the program searches in.
    ordered = sorted(words, key=lambda s: s.encode("utf-16-be"))
    with open(os.path.join(args.out, "TuDien.txt"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(ordered) + "\n")
    print(f"{len(ordered)} syllables, {len(dropped)} source words dropped", file=sys.stderr)
    record = rejected.decided()
    undecided = sorted(dropped - set(record))
    stale = sorted(w for w in record if w not in dropped)
    if undecided:
        print("dropped but not in rejected.py: " + " ".join(undecided), file=sys.stderr)
    if stale:
        print("in rejected.py but not dropped: " + " ".join(stale), file=sys.stderr)
    unknown = [(w, r) for w, (_, r) in sorted(record.items()) if r and r not in words]
    for word, right in unknown:
        print(f"rejected.py: {right} (for {word}) is not a syllable", file=sys.stderr)
    if args.report:
        print(rejected.markdown())
    return 1 if undecided or stale or unknown else 0


if __name__ == "__main__":
    sys.exit(main())
