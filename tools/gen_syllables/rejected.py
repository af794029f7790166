"""The source words the rhyme model leaves out, each with the reason.

Every word of the two sources that is not a well-formed syllable of the model
must be listed here exactly once; gen_syllables.py warns about a dropped word
that is missing and about a listed word that the model now accepts, so a new
source version or a change of the model is decided word by word.

Each group: (heading, reason, words). A word written "wrong:right" is a typo
for the syllable after the colon, which the dictionary holds.
"""

GROUPS = [
    ("Abbreviations and letters",
     "Not syllables: abbreviations (upper case in the sources) and single letters.",
     "abc ascii gif hcm hk html hđnd jpeg lhq pdf png tcvn tp tv ubnd url vn vni viqr viscii "
     "nhtư ubtư uvtư ưcv đpctntư đqg đqgtnn đqt đs đsp đt đtb đtbxh đtl đtla đtlx đtm đtntl "
     "đtpt đts đtt đttp đttpmt đttqg đv đvn đvqg đxx v đ â ă"),

    ("Loan words written as one word",
     "Several syllables run together (ca-nô, ki-lô), or a foreign spelling with letters "
     "Vietnamese does not use (f, j, w, z) or endings it does not have.",
     "basoi bayơ cacxtơ cácxtơ calô campôt canô cácbon cône email frăng phrăng ghinê hôtel "
     "internet intranet khơme kilô kilôgam kilômet kitô litô mêtan nôben ôliu palăng panô "
     "raglây rivê rơngen sakê sơmi tête tivi tout web xinê telex unicode gen gram grát ping "
     "zắc"),

    ("Pieces of loan words",
     "The fcitx5-bamboo list also holds the tail of some loan words on its own "
     "(ácbon from cácbon, ôtel from hôtel); they are not words.",
     "ácbon ácxtơ êpôc êpốc êtan ête ôben ôgam ômet ône ôtel ơme ơmi ơngen"),

    ("Consonant clusters of minority languages",
     "Names and words of the Central Highlands and northern minority languages "
     "(Krông, Plông, Chư Prông, Hmông, Hrê, Xtiêng, Đrăk), and three typos. Vietnamese "
     "initials are single consonants or the digraphs of the table; accepting clusters such "
     "as bl, br, cl, cr, dr, gl, gr, kr, pl, pr would let English words typed with tone keys "
     "(plans, cross, drum, glad) pass as Vietnamese and no longer be restored.",
     "blô brâu brôm clông crô crôm crông dliê drăm drăng glây hmông hrê hrệ kcách:cách "
     "kgông:không khlá "
     "kpă kpăng krêy krôm krông ktlê mrơn phlạo phlắc plông prâng prô prông rcăm rlâm sgần:gần "
     "slìn sró srêpốc xrêpôc xcô xrê xtiêng xtrây xtơ đgiu đhur đrao đrong đrung đrá đrô đrăk "
     "đrắk tbuăn"),

    ("Finals k, h, l, r and others",
     "Names from minority languages (Đắk Lắk, Krông Búk, Chư Păh, Đạ Tẻh, Cuôr Đăng) and "
     "pieces of them. At the end of a word k, g and h are the final-consonant shorthand for "
     "ch, ng and nh (option \"Gõ tắt phụ âm cuối: g -> ng , h -> nh , k -> ch\"); as "
     "finals of their own they would break it. A user who types these names can list the "
     "rhyme in the allowed words (\"Cho gõ những từ sau (phân biệt bằng dấu cách)\", "
     "for example ăk uk ăh).",
     "búk lăk lắk măk úk ăk ắk đăk đắk bìh ìh păh pảh tẻh ăh ảh ẻh đêh gỏl:gỏi mộl ỏl ộl ờl "
     "cuôr êbur jút ôb ưd ăcr"),

    ("k before a, o, ô, ơ, u",
     "Vietnamese writes c before a back vowel and qu before a glide; k there comes only in "
     "names of minority origin (Bắc Kạn, Sông Kôn, Trà Kót, Rơ Kơi, Thạch Kêng). Allowing it "
     "would accept \"ko\", \"kái\" and the like.",
     "ka kách kạn kò kót kô kôn kông kúc kơi kốc kuênh kêng"),

    ("g/gh and ng/ngh the wrong way round",
     "gh and ngh go before i, e, ê only, g and ng everywhere else. These are typos (and "
     "\"gen\" a loan word above); the single-word spelling correction turns them into the "
     "right word, which it could not do if they were listed.",
     "gém:ghém gềnh:ghềnh ngèo:nghèo ngẹt:nghẹt ngệch:nghệch ngịu:nghịu nghoèo:ngoèo "
     "nghuếch:nguếch nghồng:ngồng"),

    ("Stop final without sắc or nặng",
     "A syllable ending in c, ch, p or t takes only the sắc or nặng tone; these lack the tone "
     "or carry another one. Most are typos; a few are names written without a tone (Cư Môt, "
     "Bi Đup, Đip, Bù Giao Mâp) or pieces.",
     "biêt:biết côt lâp:lập lưc:lực mâp môt ngưt nhiêt:nhiệt têt:tết viêc:việc đac đôc "
     "gip:gíp xit kỉch:kịch thữc vàp đip đup "
     "âp ăc êt ôt ơt ưc ưt àp ỉch ữc"),

    ("Rhymes outside the standard spelling",
     "ê and i take nh and ch, not ng and c (ễnh, ích); ơ takes no ng or c (ương, ông); iê "
     "takes no nh. Southern spellings of ênh/inh (ễng bụng for ễnh bụng), names (Thạch Kêng "
     "above, Cư Pơng), loans (si-líc) and pieces; allowing ê + ng would also pass the "
     "common misspelling \"bệng\".",
     "dềng:dềnh ễng:ễnh trịng trơng:trông nghiênh:nghiêng tỉng lơng pơng líc ríc:rích "
     "êc ếc ệc êng ếng ềng ểng ệng ỉng ịng íc ơng ớng ờng ợng ợc"),

    ("Vowels Vietnamese does not write that way",
     "Typos (a letter doubled, dropped or swapped), pieces, and names of northern minority "
     "groups with their own vowels (Ná Miẻo, Dao Làn Tiẻn, Xá Aỏi, Nùng Quý Rỵn).",
     "hũu:hữu iý:lý sìi:sì đằu:đầu viọng:vọng khyển:khuyển tryền:truyền quuyết:quyết "
     "gịa:giạ gỵa:giạ chấ:chất đẵ:đã aỏi miẻo tiẻn rỵn ũu ìi êa êy ỵa ỵu ỷu "
     "ấ ầ ẩ ẫ ậ ắ ằ ẳ ẵ ặ"),

    ("Left out on purpose",
     "quýu is the y spelling of quíu (líu quíu, which is listed): the word model composes the "
     "vowels y + u only inside uyu, so the tables alone cannot accept it. quỵp has no phrase "
     "in the sources using it and is the only y + p besides the piece ýp; y does not take p "
     "for it. zô (southern for vô) and zê are written with z: with the option \"Dùng các phụ "
     "âm đầu dz f j w z\" the tables accept them like dô, dê; the dictionary keeps standard "
     "spellings.",
     "quýu quỵp ýp zô zê"),
]


def decided():
    """word -> (group index, right spelling or None)."""
    out = {}
    for g, (_, _, words) in enumerate(GROUPS):
        for item in words.split():
            word, _, right = item.partition(":")
            if word in out:
                raise ValueError(f"{word} listed twice")
            out[word] = (g, right or None)
    return out


def markdown():
    lines = []
    for heading, reason, words in GROUPS:
        shown = [w.replace(":", " (") + ")" if ":" in w else w for w in words.split()]
        lines.append(f"- {heading} ({len(shown)}): {reason} " + ", ".join(shown) + ".")
    return "\n".join(lines)
