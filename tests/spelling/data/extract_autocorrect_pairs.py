#!/usr/bin/env python3
"""Extracts the Vietnamese wrong -> right pairs of an autocorrect list whose
wrong side differs from the right side by exactly one of the confusions the
spelling correction handles (initials s/x, l/r, ch/tr, ng/ngh, g/gh; finals
c/t, n/ng; tones hỏi/ngã), in a single syllable or in one syllable of a
two-syllable compound.

Usage: extract_autocorrect_pairs.py DocumentList.xml > AutocorrectPairs.txt

The input is the DocumentList.xml inside an autocorrect .dat file (a zip).
Output: one pair per line, "wrong<TAB>right<TAB>kind", kind being the
confusion family (initial, final, tone) and "single" or "compound".
"""
import sys
import unicodedata
import xml.etree.ElementTree as ET

NS = "{http://openoffice.org/2001/block-list}"
INITIALS = {"s": "x", "x": "s", "l": "r", "r": "l", "ch": "tr", "tr": "ch",
            "ng": "ngh", "ngh": "ng", "g": "gh", "gh": "g"}
FINALS = {"c": "t", "t": "c", "n": "ng", "ng": "n"}
HOI = "ảẳẩẻểỉỏổởủửỷ"
NGA = "ãẵẫẽễĩõỗỡũữỹ"
LETTERS = set("abcdefghijklmnopqrstuvwxyzđ"
              "áàảãạâấầẩẫậăắằẳẵặéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵ")
VOWELS = set("aeiouy" "áàảãạâấầẩẫậăắằẳẵặéèẻẽẹêếềểễệíìỉĩịóòỏõọôốồổỗộơớờởỡợúùủũụưứừửữựýỳỷỹỵ")


def split(syllable):
    """initial, middle, final of a lower-case syllable (qu and gi stay initial)."""
    i = 0
    while i < len(syllable) and syllable[i] not in VOWELS:
        i += 1
    initial = syllable[:i]
    if initial in ("q", "g") and i + 1 < len(syllable) and syllable[i] in "ui" and \
            any(c in VOWELS for c in syllable[i + 1:]):
        initial = syllable[:i + 1]
    j = len(syllable)
    while j > len(initial) and syllable[j - 1] not in VOWELS:
        j -= 1
    return initial, syllable[len(initial):j], syllable[j:]


def confusion(wrong, right):
    """The family that turns the syllable wrong into right, or None."""
    if wrong == right:
        return None
    wi, wm, wf = split(wrong)
    ri, rm, rf = split(right)
    if wm == rm and wf == rf and INITIALS.get(wi) == ri:
        return "initial"
    if wi == ri and wm == rm and FINALS.get(wf) == rf:
        return "final"
    if wi == ri and wf == rf and len(wm) == len(rm):
        diff = [(a, b) for a, b in zip(wm, rm) if a != b]
        if len(diff) == 1:
            a, b = diff[0]
            if (a in HOI and b in NGA and NGA.index(b) == HOI.index(a)) or \
               (a in NGA and b in HOI and HOI.index(b) == NGA.index(a)):
                return "tone"
    return None


def main():
    root = ET.parse(sys.argv[1]).getroot()
    seen = set()
    for block in root.iter(NS + "block"):
        wrong = unicodedata.normalize("NFC", block.get(NS + "abbreviated-name", ""))
        right = unicodedata.normalize("NFC", block.get(NS + "name", ""))
        if wrong != wrong.lower() or right != right.lower():
            continue
        ws, rs = wrong.split(" "), right.split(" ")
        if len(ws) != len(rs) or len(ws) > 2:
            continue
        if not all(s and set(s) <= LETTERS for s in ws + rs):
            continue
        kinds = [confusion(a, b) for a, b in zip(ws, rs)]
        changed = [k for a, b, k in zip(ws, rs, kinds) if a != b]
        if len(changed) != 1 or changed[0] is None:
            continue
        if (wrong, right) in seen:
            continue
        seen.add((wrong, right))
        scope = "single" if len(ws) == 1 else "compound"
        print(f"{wrong}\t{right}\t{changed[0]}\t{scope}")


if __name__ == "__main__":
    main()
