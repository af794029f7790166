#include "convert/ConvertText.h"

#include <algorithm>

#include "common/Letters.h"
#include "spelling/CTuDien.h"

namespace tavirel {
namespace {

// Marks a kept source form in the output of a transcode whose target lacks
// some characters; a noncharacter never found in real text.
constexpr char16_t kLostMark = 0xFFFF;

bool OnlyBytes(const CBangMa& table) { return !table.Empty() && !IsWide(table); }

// Code page 1252 gives these characters to the bytes 0x80..0x9F; 0 where
// it leaves the byte unassigned (it then arrives as itself).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Adds, for every key holding bytes 0x80..0x9F, the keys with those bytes in
// their code page 1252 form, with the same value.
CDecodeMap WithAnsiForms(const CDecodeMap& map) {
  CDecodeMap::Entries entries = map.Map();
  std::vector<std::pair<std::u16string, std::u16string>> extra;
  for (const auto& [key, value] : entries) {
    std::vector<std::u16string> variants{key};
    for (size_t i = 0; i < key.size(); ++i) {
      const char16_t u = key[i];
      if (u < 0x80 || u > 0x9F || kCp1252High[u - 0x80] == 0) continue;
      const size_t n = variants.size();
      for (size_t v = 0; v < n; ++v) {
        std::u16string alt = variants[v];
        alt[i] = kCp1252High[u - 0x80];
        variants.push_back(std::move(alt));
      }
    }
    for (size_t v = 1; v < variants.size(); ++v) extra.emplace_back(std::move(variants[v]), value);
  }
  for (auto& [key, value] : extra) entries.emplace(std::move(key), std::move(value));
  return CDecodeMap(std::move(entries));
}

CDecodeMap SourceDecodeMap(const CBangMa& source, bool preferLower, TextOrigin origin) {
  CDecodeMap map = BuildDecodeMap(source, preferLower);
  if (origin == TextOrigin::AnsiClipboard && OnlyBytes(source)) return WithAnsiForms(map);
  return map;
}

}  // namespace

bool IsConversionLetter(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
  return letters::IsLower(c) || letters::IsUpper(c);
}

std::u16string LowerText(std::u16string_view text) { return letters::ToLower(text); }
std::u16string UpperText(std::u16string_view text) { return letters::ToUpper(text); }
std::u16string RemoveMarks(std::u16string_view text) { return letters::Bare(text); }

double ScoreVietnamese(std::u16string_view text, const CTuDien& dictionary) {
  size_t words = 0;
  size_t found = 0;
  std::u16string word;
  const auto finish = [&] {
    if (word.empty()) return;
    ++words;
    if (dictionary.Contains(word)) ++found;
    word.clear();
  };
  for (const char16_t c : text) {
    if (IsConversionLetter(c)) {
      word.push_back(letters::ToLower(c));
    } else if (c >= 0x0300 && c <= 0x036F && !word.empty()) {
      // A combining mark belongs to the letter before it: "kho" with a
      // combining acute is no dictionary word, so decomposed text does not
      // pass for composed text.
      word.push_back(c);
    } else {
      finish();
    }
  }
  finish();
  return words == 0 ? 0.0 : static_cast<double>(found) / static_cast<double>(words);
}

double ScoreVietnamese(std::u16string_view text) { return ScoreVietnamese(text, CTuDien::Instance()); }

CSourceDetector::CSourceDetector(const std::vector<std::u16string>& names, TextOrigin origin) : names_(names) {
  maps_.resize(names_.size());
  for (size_t i = 1; i < names_.size(); ++i) maps_[i] = SourceDecodeMap(LoadBangMa(names_[i]), true, origin);
}

std::u16string CSourceDetector::Detect(std::u16string_view text, const CTuDien& dictionary) const {
  // The best reading wins, the earlier one on ties. Stopping at the first
  // table that reaches the threshold would be wrong too often: tables whose
  // bytes are mostly Latin-1 letters (VISCII, VPS) read fairly as Unicode
  // and as each other, so every table is tried unless one reads every word.
  size_t best = 0;
  double bestScore = ScoreVietnamese(text, dictionary);
  for (size_t i = 1; i < names_.size() && bestScore < 1.0; ++i) {
    const double score = ScoreVietnamese(maps_[i].Decode(text), dictionary);
    if (score > bestScore) {
      best = i;
      bestScore = score;
    }
  }
  return best == 0 ? kUnicodeTableName : names_[best];
}

std::u16string DetectSourceTable(const ConversionOptions& options, std::u16string_view text,
                                 const std::vector<std::u16string>& names, const CTuDien& dictionary,
                                 TextOrigin origin) {
  // The threshold is kept for the dialog, which shows how sure a guess is.
  (void)options;
  return CSourceDetector(names, origin).Detect(text, dictionary);
}

std::u16string DetectSourceTable(const ConversionOptions& options, std::u16string_view text, TextOrigin origin) {
  return DetectSourceTable(options, text, CodeTableNames(), CTuDien::Instance(), origin);
}

CTextConverter::CTextConverter(const ConversionOptions& options, TextOrigin origin) {
  Setup(options, LoadBangMa(options.source), LoadBangMa(options.target), origin);
}

CTextConverter::CTextConverter(const ConversionOptions& options, const CBangMa& source, const CBangMa& target,
                               TextOrigin origin) {
  Setup(options, source, target, origin);
}

void CTextConverter::Setup(const ConversionOptions& options, const CBangMa& source, const CBangMa& target,
                           TextOrigin origin) {
  flags_ = options.flags;
  const bool preferLower = (flags_ & convflag::kPreferUpper) == 0;
  const bool sourceUnicode = options.source == kUnicodeTableName;
  const bool targetUnicode = options.target == kUnicodeTableName;
  if (!sourceUnicode) source_ = source;
  if (!targetUnicode) target_ = target;
  sourceBytes_ = OnlyBytes(source_);
  targetBytes_ = OnlyBytes(target_);
  if ((flags_ & (convflag::kLower | convflag::kUpper | convflag::kRemoveMarks)) != 0) {
    mode_ = Mode::Flags;
    if (!sourceUnicode) map_ = SourceDecodeMap(source_, preferLower, origin);
  } else if (options.source == options.target) {
    mode_ = Mode::Same;
  } else if (!sourceUnicode && !targetUnicode) {
    mode_ = Mode::Transcode;
    CTranscodeMap map = BuildTranscodeMap(source_, target_, preferLower);
    if (targetBytes_) {
      // Source forms of characters the target lacks stay in their source
      // form; they are marked so that they can be counted.
      CDecodeMap::Entries entries = map.Map();
      for (const auto& [c, form] : source_.Map()) {
        if (!target_.Has(c) && c >= 0x80 && entries.count(form) == 0) {
          entries.emplace(form, form + kLostMark);
          slowTranscode_ = true;
        }
      }
      if (slowTranscode_) map = CDecodeMap(std::move(entries));
    }
    map_ = origin == TextOrigin::AnsiClipboard && sourceBytes_ ? WithAnsiForms(map) : std::move(map);
  } else if (!sourceUnicode) {
    mode_ = Mode::Decode;
    map_ = SourceDecodeMap(source_, preferLower, origin);
  } else {
    mode_ = Mode::Encode;
  }
  // Units that a match can reach past its first unit: a cut before any
  // other unit never splits a match.
  inner_.assign(0x10000, false);
  for (const auto& [key, value] : map_.Map()) {
    for (size_t i = 1; i < key.size(); ++i) inner_[key[i]] = true;
  }
}

void CTextConverter::EncodeCounting(std::u16string_view text, std::u16string& out) {
  std::u16string replaced;
  if (targetBytes_) {
    for (size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c < 0x80 || target_.Has(c)) continue;
      ++lost_;
      if (lostAs_ == 0) continue;
      if (replaced.empty()) replaced = text;
      replaced[i] = lostAs_;
    }
  }
  if (!replaced.empty()) text = replaced;
  if (target_.Empty()) {
    out.append(text);
  } else {
    EncodeTo(target_, text, out);
  }
}

void CTextConverter::Convert(std::u16string_view text, std::u16string& out) {
  switch (mode_) {
    case Mode::Same:
      out.append(text);
      return;
    case Mode::Decode:
      out += map_.Decode(text);
      return;
    case Mode::Encode:
      EncodeCounting(text, out);
      return;
    case Mode::Transcode: {
      if (!slowTranscode_) {
        out += map_.Decode(text);
        return;
      }
      // A mark already in the text is no key: convert around it and keep it.
      for (;;) {
        const size_t own = text.find(kLostMark);
        std::u16string t = map_.Decode(text.substr(0, own));
        const size_t marks = static_cast<size_t>(std::count(t.begin(), t.end(), kLostMark));
        lost_ += marks;
        if (marks != 0) t.erase(std::remove(t.begin(), t.end(), kLostMark), t.end());
        out += t;
        if (own == std::u16string_view::npos) return;
        out.push_back(kLostMark);
        text.remove_prefix(own + 1);
      }
    }
    case Mode::Flags: {
      std::u16string t = map_.Empty() ? std::u16string(text) : map_.Decode(text);
      if ((flags_ & convflag::kLower) != 0) {
        t = LowerText(t);
      } else if ((flags_ & convflag::kUpper) != 0) {
        t = UpperText(t);
      }
      if ((flags_ & convflag::kRemoveMarks) != 0) t = RemoveMarks(t);
      EncodeCounting(t, out);
      return;
    }
  }
}

size_t CTextConverter::SafeCut(std::u16string_view text) const {
  // What follows the text is unknown, so the cut lies before a unit of it.
  for (size_t p = text.size() - (text.empty() ? 0 : 1); p > 0; --p) {
    const char16_t c = text[p];
    // Never between the halves of a surrogate pair either.
    if (!inner_[c] && !(c >= 0xDC00 && c <= 0xDFFF)) return p;
  }
  return 0;
}

std::u16string ConvertText(const ConversionOptions& options, std::u16string_view text) {
  return CTextConverter(options).Convert(text);
}

}  // namespace tavirel
