#!/usr/bin/env python3
"""Writes the Telex keys that type a Vietnamese text, for the typing-speed
cases of tests/e2e/run-e2e:

    python3 tests/e2e/data/make-telex.py < prose.txt > prose.telex

Each word is spelled as a typist does: a letter's mark keys right after it
(aa, aw, ow, uw, dd), the tone key at the end of the word; the first key of a
capital letter is upper case, an all-capital word is typed in capitals.
tavirel-type -e "$(cat prose.telex)" gives the text back.
"""
import sys
import unicodedata

TONES = {'\u0301': 's', '\u0300': 'f', '\u0309': 'r', '\u0303': 'x', '\u0323': 'j'}
MARKS = {'\u0302': None, '\u0306': 'w', '\u031b': 'w'}  # None: the letter again


def word_keys(word):
    upper_word = len(word) > 1 and word.upper() == word
    keys, tone = [], ''
    for ch in word:
        if ch in 'đĐ':
            base, marks = ch.replace('đ', 'd').replace('Đ', 'D'), ['d']
        else:
            d = unicodedata.normalize('NFD', ch)
            base, marks = d[0], []
            for m in d[1:]:
                if m in TONES:
                    tone = TONES[m]
                else:
                    marks.append(MARKS[m] or base.lower())
        k = base + ''.join(marks)
        keys.append(k.upper() if upper_word else k)
    t = tone.upper() if upper_word else tone
    return ''.join(keys) + t


def main():
    text = sys.stdin.read()
    out, word = [], ''
    for ch in text:
        if ch.isalpha():
            word += ch
            continue
        if word:
            out.append(word_keys(word))
            word = ''
        out.append(ch)
    if word:
        out.append(word_keys(word))
    sys.stdout.write(''.join(out))


main()
