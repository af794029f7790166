#include "convert/ConvertText.h"

#include <algorithm>
#include <map>
#include <mutex>

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

CTextConverter::CTextConverter(const ConversionOptions& options, TextOrigin origin)
    : plan_(SharedPlan(options, origin)), flags_(options.flags) {}

CTextConverter::CTextConverter(const ConversionOptions& options, const CBangMa& source, const CBangMa& target,
                               TextOrigin origin)
    : plan_(MakePlan(options, source, target, origin)), flags_(options.flags) {}

std::shared_ptr<const CTextConverter::Plan> CTextConverter::SharedPlan(const ConversionOptions& options,
                                                                       TextOrigin origin) {
  // The shipped tables never change while the program runs, so a plan made
  // once serves every later conversion with the same choices. Few choices
  // are ever made; the cache is emptied should it grow past a handful.
  const int32_t caseOrMarks = options.flags & (convflag::kLower | convflag::kUpper | convflag::kRemoveMarks);
  const std::u16string key = options.source + u'\0' + options.target + u'\0' +
                             static_cast<char16_t>(u'0' + (caseOrMarks != 0)) +
                             static_cast<char16_t>(u'0' + ((options.flags & convflag::kPreferUpper) != 0)) +
                             static_cast<char16_t>(u'0' + static_cast<int>(origin));
  static std::mutex mutex;
  static std::map<std::u16string, std::shared_ptr<const Plan>> plans;
  {
    std::lock_guard<std::mutex> lock(mutex);
    const auto it = plans.find(key);
    if (it != plans.end()) return it->second;
  }
  // Built outside the lock: another thread may build the same plan at the
  // same time, and either copy is right.
  std::shared_ptr<const Plan> plan = MakePlan(options, LoadBangMa(options.source), LoadBangMa(options.target), origin);
  std::lock_guard<std::mutex> lock(mutex);
  if (plans.size() >= 32) plans.clear();
  return plans.emplace(key, std::move(plan)).first->second;
}

std::shared_ptr<const CTextConverter::Plan> CTextConverter::MakePlan(const ConversionOptions& options,
                                                                     const CBangMa& source, const CBangMa& target,
                                                                     TextOrigin origin) {
  auto plan = std::make_shared<Plan>();
  Plan& p = *plan;
  const int32_t flags = options.flags;
  const bool preferLower = (flags & convflag::kPreferUpper) == 0;
  const bool sourceUnicode = options.source == kUnicodeTableName;
  const bool targetUnicode = options.target == kUnicodeTableName;
  if (!sourceUnicode) p.source = source;
  if (!targetUnicode) p.target = target;
  p.sourceBytes = OnlyBytes(p.source);
  p.targetBytes = OnlyBytes(p.target);
  if ((flags & (convflag::kLower | convflag::kUpper | convflag::kRemoveMarks)) != 0) {
    p.mode = Mode::Flags;
    if (!sourceUnicode) p.map = SourceDecodeMap(p.source, preferLower, origin);
  } else if (options.source == options.target) {
    p.mode = Mode::Same;
  } else if (!sourceUnicode && !targetUnicode) {
    p.mode = Mode::Transcode;
    CTranscodeMap map = BuildTranscodeMap(p.source, p.target, preferLower);
    if (p.targetBytes) {
      // Source forms of characters the target lacks stay in their source
      // form; they are marked so that they can be counted.
      CDecodeMap::Entries entries = map.Map();
      for (const auto& [c, form] : p.source.Map()) {
        if (!p.target.Has(c) && c >= 0x80 && entries.count(form) == 0) {
          entries.emplace(form, form + kLostMark);
          p.slowTranscode = true;
        }
      }
      if (p.slowTranscode) map = CDecodeMap(std::move(entries));
    }
    p.map = origin == TextOrigin::AnsiClipboard && p.sourceBytes ? WithAnsiForms(map) : std::move(map);
  } else if (!sourceUnicode) {
    p.mode = Mode::Decode;
    p.map = SourceDecodeMap(p.source, preferLower, origin);
  } else {
    p.mode = Mode::Encode;
  }
  // Units that a match can reach past its first unit: a cut before any
  // other unit never splits a match.
  p.inner.assign(0x10000, false);
  for (const auto& [key, value] : p.map.Map()) {
    for (size_t i = 1; i < key.size(); ++i) p.inner[key[i]] = true;
  }
  return plan;
}

void CTextConverter::EncodeCounting(std::u16string_view text, std::u16string& out) {
  const Plan& p = *plan_;
  std::u16string replaced;
  if (p.targetBytes) {
    for (size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c < 0x80 || p.target.Has(c)) continue;
      ++lost_;
      if (lostAs_ == 0) continue;
      if (replaced.empty()) replaced = text;
      replaced[i] = lostAs_;
    }
  }
  if (!replaced.empty()) text = replaced;
  if (p.target.Empty()) {
    out.append(text);
  } else {
    EncodeTo(p.target, text, out);
  }
}

void CTextConverter::Convert(std::u16string_view text, std::u16string& out) {
  const Plan& p = *plan_;
  switch (p.mode) {
    case Mode::Same:
      out.append(text);
      return;
    case Mode::Decode:
      p.map.DecodeTo(text, out);
      return;
    case Mode::Encode:
      EncodeCounting(text, out);
      return;
    case Mode::Transcode: {
      if (!p.slowTranscode) {
        p.map.DecodeTo(text, out);
        return;
      }
      // A mark already in the text is no key: convert around it and keep it.
      for (;;) {
        const size_t own = text.find(kLostMark);
        const size_t from = out.size();
        p.map.DecodeTo(text.substr(0, own), out);
        const auto first = out.begin() + static_cast<std::ptrdiff_t>(from);
        const auto kept = std::remove(first, out.end(), kLostMark);
        lost_ += static_cast<size_t>(out.end() - kept);
        out.erase(kept, out.end());
        if (own == std::u16string_view::npos) return;
        out.push_back(kLostMark);
        text.remove_prefix(own + 1);
      }
    }
    case Mode::Flags: {
      std::u16string t;
      p.map.DecodeTo(text, t);
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
    if (!plan_->inner[c] && !(c >= 0xDC00 && c <= 0xDFFF)) return p;
  }
  return 0;
}

std::u16string ConvertText(const ConversionOptions& options, std::u16string_view text) {
  return CTextConverter(options).Convert(text);
}

}  // namespace tavirel
