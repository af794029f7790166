#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_keystream (fuzz/corpus/fuzz_keystream/).

An input of that fuzzer is mostly text typed on the US keyboard (bytes below
0x80); a byte from 0x80 on is an operation (its number is the byte - 0x80,
counted modulo 21) with the next byte as argument (see fuzz/fuzz_keystream.cpp).
The seeds are real typing: Vietnamese prose written here for the purpose,
typed as Telex and VNI keys; the misspelt forms of the spelling pairs in
tests/spelling/data/AutocorrectPairs.txt; English words that must be
restored; with the operations that turn on the options, the shorthand table,
the clipboard output and the restore hotkey around them. Inputs are at most
MAX_LEN bytes (the fuzzer's -max_len), so the text is cut into seeds of that
size; long streams are written with the repeat operation.

Usage: gen_keystream_seeds.py   (rewrites the folder beside fuzz/)
"""
import os
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
OUT = os.path.join(ROOT, "fuzz", "corpus", "fuzz_keystream")

PROSE = (
    "Sáng nay trời mưa nhẹ, chúng tôi đi bộ qua những con đường nhỏ của thành phố. "
    "Người bán hàng rong gọi nhau í ới, tiếng xe máy vang lên khắp nơi. "
    "Cô giáo trường làng kể rằng học trò năm nay chăm chỉ hơn, được điểm cao ở môn tiếng Việt. "
    "Ông bà thường dặn con cháu phải giữ gìn sức khỏe, ăn uống điều độ và ngủ đủ giấc. "
    "Chiều xuống, gió thổi mát rượi trên cánh đồng lúa chín vàng, khuyên nhủ ai về quê hương. "
    "Thuở ấy nghèo khó nhưng nghĩa tình, quyển sách cũ vẫn nằm yên trên giá gỗ."
)
ENGLISH = "The window class file was saved on the street by Windows email hello world. "

TONES_TELEX = {"\u0301": "s", "\u0300": "f", "\u0309": "r", "\u0303": "x", "\u0323": "j"}
TONES_VNI = {"\u0301": "1", "\u0300": "2", "\u0309": "3", "\u0303": "4", "\u0323": "5"}
MARKS_TELEX = {"â": "aa", "ê": "ee", "ô": "oo", "ă": "aw", "ơ": "ow", "ư": "uw", "đ": "dd"}
MARKS_VNI = {"â": "a6", "ê": "e6", "ô": "o6", "ă": "a8", "ơ": "o7", "ư": "u7", "đ": "d9"}


def word_keys(word, marks, tones):
    tone = ""
    out = ""
    for ch in unicodedata.normalize("NFD", word):
        if ch in tones:
            tone = tones[ch]
            continue
        out += ch
    out = unicodedata.normalize("NFC", out)
    keys = ""
    for ch in out:
        low = ch.lower()
        if low in marks:
            k = marks[low]
            keys += k[0].upper() + k[1:] if ch != low else k
        else:
            keys += ch
    return keys + tone


def type_text(text, marks, tones):
    out = []
    word = ""
    for ch in text + " ":
        if ch.isalpha():
            word += ch
        else:
            if word:
                out.append(word_keys(word, marks, tones))
                word = ""
            out.append(ch)
    return "".join(out)[:-1]


def op(number, arg):
    return bytes([0x80 + number, arg])


def misspellings():
    words = []
    with open(os.path.join(ROOT, "tests", "spelling", "data", "AutocorrectPairs.txt"), encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) >= 2:
                words.append(fields[0])
    return " ".join(words[:120]) + " "


MAX_LEN = 128
REPEAT = 20


def repeat(length, times_log2):
    """Plays the length (1..32) bytes before it 2 ** times_log2 (1..8) more times."""
    return op(REPEAT, (times_log2 - 1) * 32 + length - 1)


def pieces(head, keys):
    """head followed by consecutive pieces of keys, cut after a space, each
    seed at most MAX_LEN bytes."""
    out = []
    room = MAX_LEN - len(head)
    while keys:
        cut = len(keys) if len(keys) <= room else keys.rfind(b" ", 0, room) + 1
        if cut <= 0:
            cut = room
        out.append(head + keys[:cut])
        keys = keys[cut:]
    return out


def main():
    os.makedirs(OUT, exist_ok=True)
    for name in os.listdir(OUT):
        os.remove(os.path.join(OUT, name))
    telex = lambda t: type_text(t, MARKS_TELEX, TONES_TELEX).encode("ascii")
    vni = lambda t: type_text(t, MARKS_VNI, TONES_VNI).encode("ascii")
    phrase = telex("Chúng tôi đi học ")
    seeds = {
        # Telex 2 with the defaults: prose, then English words to restore.
        "telex_prose": pieces(b"", telex(PROSE) + b" " + ENGLISH.encode() + b"\n"),
        # VNI (method 2) on the VNI Windows code table (table 2), with Backspaces.
        "vni_prose": pieces(op(10, 2) + op(9, 2), vni(PROSE).replace(b". ", b".\b\b. ") + b"\n"),
        # Spelling correction (single words, compounds, the dictionary),
        # consonant shorthand and a shorthand table, then misspelt text.
        "spelling": pieces(op(11, 8) + op(11, 9) + op(11, 5) + op(11, 15) + op(11, 16) + op(16, 1),
                           telex(misspellings()) + b" vn ko dc " + telex(PROSE[:200])),
        # Output by clipboard with the restore hotkey (Ctrl+Alt) after
        # English words, and the clock moving past the clipboard restore.
        "clipboard_restore": pieces(op(11, 11) + op(8, 1), b"".join(
            w.encode() + b" " + op(12, 3) + op(6, 120) for w in ENGLISH.split()[:8])
            + telex(PROSE[:160])),
        # Output by clipboard while no window has the focus: nothing reads
        # the paste, and the next input must not wait for it.
        "paste_never_read": [op(11, 11) + op(5, 4) + telex("Tiếng Việt ")],
        # Long streams: a phrase typed 256 times over (the run drops its
        # oldest words), a word far longer than a syllable, a shorthand
        # expanded 256 times (the replacement list is bounded), digits and
        # punctuation outside words (the loose text is bounded), and a word
        # typed, rubbed out and typed again.
        "long_streams": [
            phrase + repeat(len(phrase), 8),
            b"Vieetj" + b"a" + repeat(1, 8) + b" ",
            op(16, 1) + b"vn " + repeat(3, 8),
            b"12, " + repeat(4, 8),
            b"tieengs\b\b\bs" + repeat(11, 6) + b" ",
        ],
    }
    for name, datas in seeds.items():
        for i, data in enumerate(datas, 1):
            assert len(data) <= MAX_LEN, (name, len(data))
            with open(os.path.join(OUT, "%s_%d" % (name, i)), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
