#!/usr/bin/env python3
"""Generates Resources/BangMa.ini, the code tables of the legacy Vietnamese encodings.

Sources (all on a Debian machine, nothing is downloaded):
  * glibc charmaps /usr/share/i18n/charmaps/{VISCII,TCVN5712-1,CP1258}.gz
  * Python's unicodedata (canonical decompositions) for the combining forms
  * GNU recode (Debian package "recode") for VNI Windows, VPS and VIQR; its
    output is checked against the layouts written out below by hand.

Usage: gen_bangma.py [output path]   (default: Resources/BangMa.ini beside tools/)
"""
import gzip
import os
import re
import subprocess
import sys
import unicodedata

LOWER = "đáàảãạâấầẩẫậăắằẳẵặéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵ"
UPPER = "ĐÁÀẢÃẠÂẤẦẨẪẬĂẮẰẲẴẶÉÈẺẼẸÊẾỀỂỄỆÍÌỈĨỊÓÒỎÕỌÔỐỒỔỖỘƠỚỜỞỠỢÚÙỦŨỤƯỨỪỬỮỰÝỲỶỸỴ"
LETTERS = LOWER + UPPER
assert len(LOWER) == len(UPPER) == 67

CHARMAPS = "/usr/share/i18n/charmaps"

# Combining tone marks in the order sắc, huyền, hỏi, ngã, nặng.
TONE_MARKS = "\u0301\u0300\u0309\u0303\u0323"


def split_tone(ch):
    """(letter without tone, tone index or -1): 'ấ' -> ('â', 0)."""
    nfd = unicodedata.normalize("NFD", ch)
    tone = -1
    rest = ""
    for c in nfd:
        if c in TONE_MARKS:
            tone = TONE_MARKS.index(c)
        else:
            rest += c
    return unicodedata.normalize("NFC", rest), tone


def read_charmap(name):
    """Single-byte entries of a glibc charmap: {unicode char: byte}."""
    table = {}
    pat = re.compile(r"^<U([0-9A-Fa-f]{4,6})>\s+/x([0-9a-fA-F]{2})\s")
    with gzip.open(os.path.join(CHARMAPS, name + ".gz"), "rt", encoding="ascii", errors="replace") as f:
        for line in f:
            m = pat.match(line)
            if m:
                table.setdefault(chr(int(m.group(1), 16)), int(m.group(2), 16))
    return table


def recode(charset, ch):
    out = subprocess.run(["recode", "-f", "utf8.." + charset], input=ch.encode("utf-8"),
                         capture_output=True, check=False).stdout
    return out.decode("latin-1")


def bytes_form(values):
    return "".join(chr(b) for b in values)


# ---- tables -------------------------------------------------------------

def table_viscii():
    cm = read_charmap("VISCII")
    return {c: chr(cm[c]) for c in LETTERS}


def table_tcvn3():
    # TCVN3 is the TCVN 5712 level that ABC fonts carry: the lower-case
    # letters and the capitals Ă Â Ê Ô Ơ Ư Đ, all in 0xA1..0xFF. Capitals with
    # a tone have no code of their own; they are written with the lower-case
    # code (the capital fonts draw those codes as capitals).
    cm = read_charmap("TCVN5712-1")
    out = {}
    for lo, up in zip(LOWER, UPPER):
        out[lo] = chr(cm[lo])
        out[up] = chr(cm[up]) if split_tone(up)[1] < 0 else chr(cm[lo])
    for c, f in out.items():
        assert ord(f) >= 0xA1, (c, hex(ord(f)))
    return out


def table_cp1258():
    # Letters the code page has are one byte; the others are the letter
    # without its tone followed by the combining tone byte.
    cm = read_charmap("CP1258")
    out = {}
    for c in LETTERS:
        if c in cm:
            out[c] = chr(cm[c])
            continue
        base, tone = split_tone(c)
        assert tone >= 0 and base in cm, c
        out[c] = chr(cm[base]) + chr(cm[TONE_MARKS[tone]])
    # The rest of the code page where a byte does not stand for itself
    # (quotes, dashes, the dong sign, the combining marks, ...).
    for c, b in sorted(cm.items(), key=lambda kv: kv[1]):
        if b >= 0x80 and ord(c) != b and c not in out:
            out[c] = chr(b)
    return out


def table_combining():
    # Precomposed letter without tone, then the combining tone mark.
    out = {}
    for c in LETTERS:
        base, tone = split_tone(c)
        out[c] = base if tone < 0 else base + TONE_MARKS[tone]
    return out


# The VNI Windows layout: base letter followed by one mark byte; a few
# letters are a single byte. Capitals use the same bytes less 0x20.
VNI_TONE = [0xF9, 0xF8, 0xFB, 0xF5, 0xEF]
VNI_CIRCUMFLEX = [0xE1, 0xE0, 0xE5, 0xE3, 0xE4]  # â with tone; â alone is 0xE2
VNI_BREVE = [0xE9, 0xE8, 0xFA, 0xFC, 0xEB]       # ă with tone; ă alone is 0xEA
VNI_SINGLE = {"đ": 0xF1, "ơ": 0xF4, "ư": 0xF6, "í": 0xED, "ì": 0xEC, "ỉ": 0xE6,
              "ĩ": 0xF3, "ị": 0xF2, "ỵ": 0xEE}


def vni_layout(ch):
    lower = ch.lower()
    up = ch != lower
    shift = 0x20 if up else 0

    def b(x):
        return chr(x - shift)

    if lower in VNI_SINGLE:
        return b(VNI_SINGLE[lower])
    base, tone = split_tone(lower)
    if base in "âêô":
        plain = {"â": "a", "ê": "e", "ô": "o"}[base]
        tail = b(0xE2) if tone < 0 else b(VNI_CIRCUMFLEX[tone])
    elif base == "ă":
        plain, tail = "a", (b(0xEA) if tone < 0 else b(VNI_BREVE[tone]))
    elif base in "ơư":
        plain, tail = b(VNI_SINGLE[base]), ("" if tone < 0 else b(VNI_TONE[tone]))
        return plain + tail
    else:
        plain, tail = base, b(VNI_TONE[tone])
    return (plain.upper() if up else plain) + tail


# recode swaps the capital breve forms with acute and grave (it writes Ắ as
# "AÈ" and Ằ as "AÉ"); the layout, like the lower-case "aé" and "aè", has
# Ắ = "AÉ" and Ằ = "AÈ".
VNI_RECODE_SWAPS = {"Ắ": "A\u00c8", "Ằ": "A\u00c9"}


def table_vni():
    out = {}
    for c in LETTERS:
        got = recode("VNI", c)
        want = vni_layout(c)
        if c in VNI_RECODE_SWAPS:
            if got != VNI_RECODE_SWAPS[c]:
                sys.exit("VNI: recode changed its form of %s, review the fix" % c)
            got = want
        if got != want:
            sys.exit("VNI: recode gives %r for %s, layout says %r" % (got, c, want))
        out[c] = got
    return out


# VIQR (RFC 1456): base letter, then the mark ^ ( +, then the tone ' ` ? ~ .
VIQR_TONE = "'`?~."


def viqr_layout(ch):
    if ch in "đĐ":
        return "dd" if ch == "đ" else "DD"
    base, tone = split_tone(ch)
    nfd = unicodedata.normalize("NFD", base)
    mark = {"\u0302": "^", "\u0306": "(", "\u031b": "+"}.get(nfd[1:], "")
    return nfd[0] + mark + ("" if tone < 0 else VIQR_TONE[tone])


def table_viqr():
    out = {}
    for c in LETTERS:
        got = recode("VIQR", c)
        want = viqr_layout(c)
        if got != want:
            sys.exit("VIQR: recode gives %r for %s, layout says %r" % (got, c, want))
        out[c] = got
    return out


# recode's VPS table has no code for Ỗ; the published VPS layout puts it at
# 0x99, between Ổ (0x98) and ý (0x9A). A few other positions checked by hand.
VPS_FIXES = {"Ỗ": 0x99}
VPS_CHECKED = {"á": 0xE1, "ạ": 0xE5, "đ": 0xC7, "Đ": 0xF1, "ơ": 0xD6, "Ơ": 0xF7, "ư": 0xDC,
               "Ư": 0xD0, "ọ": 0x86, "ỗ": 0x87, "Ạ": 0x02, "Ỵ": 0x19, "Ẫ": 0x1C, "Ữ": 0x1D,
               "ý": 0x9A, "Ở": 0x9F}


def table_vps():
    out = {}
    for c in LETTERS:
        got = recode("VPS", c)
        if c in VPS_FIXES:
            if got:
                sys.exit("VPS: recode now has %s, drop the fix" % c)
            got = chr(VPS_FIXES[c])
        if len(got) != 1:
            sys.exit("VPS: no single byte for %s: %r" % (c, got))
        if c in VPS_CHECKED and ord(got) != VPS_CHECKED[c]:
            sys.exit("VPS: %s is %#x, layout says %#x" % (c, ord(got), VPS_CHECKED[c]))
        out[c] = got
    return out


# Section order is the order in which source detection tries the tables:
# the common 8-bit font encodings first, VIQR last because its forms are
# plain ASCII sequences that also occur in ordinary text.
SECTIONS = [
    ("TCVN3 (ABC)", table_tcvn3),
    ("VNI Windows", table_vni),
    ("VISCII", table_viscii),
    ("VPS", table_vps),
    ("Unicode tổ hợp", table_combining),
    ("Vietnamese locale CP 1258", table_cp1258),
    ("VIQR", table_viqr),
]


def storable(form):
    """The INI reader trims spaces from values, cuts them at ';' and splits lines at LF."""
    return (form != "" and ";" not in form and "\n" not in form and not form.endswith("\r")
            and form == form.strip(" "))


def main():
    if len(sys.argv) > 2 or (len(sys.argv) == 2 and sys.argv[1].startswith("-")):
        print("usage: gen_bangma.py [OUTPUT]   (default: Resources/BangMa.ini)")
        sys.exit(0 if sys.argv[1] in ("-h", "--help") else 2)
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "Resources", "BangMa.ini")
    lines = ["; Code tables: key = Unicode character, value = its encoded form",
             "; (characters U+0000..U+00FF stand for bytes).",
             "; Generated by tools/gen_bangma/gen_bangma.py; do not edit by hand.", ""]
    skipped = []
    for name, build in SECTIONS:
        table = build()
        missing = [c for c in LETTERS if c not in table]
        if missing:
            sys.exit("%s lacks %s" % (name, "".join(missing)))
        lines.append("[%s]" % name)
        for c, form in table.items():
            if c in "=;" or c.strip(" ") == "":
                skipped.append((name, c, form))
                continue
            if not storable(form):
                skipped.append((name, c, form))
                continue
            lines.append("%s=%s" % (c, form))
        lines.append("")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\ufeff" + "\n".join(lines))
    for name, c, form in skipped:
        print("not storable: [%s] U+%04X -> %r" % (name, ord(c), form), file=sys.stderr)
    print("wrote %s (%d sections)" % (os.path.normpath(path), len(SECTIONS)))


if __name__ == "__main__":
    main()
