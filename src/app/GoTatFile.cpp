#include "app/GoTatFile.h"

#include "common/Ini.h"
#include "common/TextFile.h"
#include "service/ShorthandLimits.h"
#include "service/CTypingContext.h"

namespace tavirel {

namespace {

bool NeedsEscapes(const std::u16string& text, bool isKey) {
  for (const char16_t c : text) {
    if (c == u'\n' || c == u'\r' || (isKey && c == u'\t')) return true;
  }
  return false;
}

std::u16string Escape(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (const char16_t c : text) {
    switch (c) {
      case u'\\': out += u"\\\\"; break;
      case u'\n': out += u"\\n"; break;
      case u'\r': out += u"\\r"; break;
      case u'\t': out += u"\\t"; break;
      default: out += c;
    }
  }
  return out;
}

// Any other backslash is kept as it stands.
std::u16string Unescape(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\\' && i + 1 < text.size()) {
      const char16_t n = text[i + 1];
      const char16_t plain = n == u'n' ? u'\n' : n == u'r' ? u'\r' : n == u't' ? u'\t' : n == u'\\' ? u'\\' : 0;
      if (plain != 0) {
        out += plain;
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

std::u16string EscapedHeader() { return std::u16string(kGoTatHeader) + std::u16string(kGoTatEscapeNote); }

}  // namespace

ShorthandTable ParseShorthands(const std::vector<std::u16string>& lines) {
  ShorthandTable table;
  size_t first = 0;
  bool escaped = false;
  if (!lines.empty() && lines[0].find(u'\t') == std::u16string::npos) {
    escaped = lines[0] == EscapedHeader();
    first = 1;
  }
  for (size_t i = first; i < lines.size(); ++i) {
    const std::u16string& line = lines[i];
    const size_t tab = line.find(u'\t');
    if (tab == std::u16string::npos) continue;
    std::u16string key = line.substr(0, tab);
    std::u16string value = line.substr(tab + 1);
    if (escaped) {
      key = Unescape(key);
      value = Unescape(value);
    }
    table.Keys.push_back(std::move(key));
    table.Values.push_back(std::move(value));
  }
  return table;
}

std::vector<std::u16string> FormatShorthands(const ShorthandTable& table) {
  const size_t n = std::min(table.Keys.size(), table.Values.size());
  bool escaped = false;
  for (size_t i = 0; i < n && !escaped; ++i) {
    escaped = NeedsEscapes(table.Keys[i], true) || NeedsEscapes(table.Values[i], false);
  }
  std::vector<std::u16string> pieces;
  pieces.reserve(n + 1);
  pieces.push_back((escaped ? EscapedHeader() : std::u16string(kGoTatHeader)) + u"\n");
  for (size_t i = 0; i < n; ++i) {
    if (escaped) {
      pieces.push_back(Escape(table.Keys[i]) + u"\t" + Escape(table.Values[i]) + u"\n");
    } else {
      pieces.push_back(table.Keys[i] + u"\t" + table.Values[i] + u"\n");
    }
  }
  return pieces;
}

SettingsFileStatus LoadShorthands(const std::u16string& path, CTypingContext& context,
                                  std::vector<std::u16string>* overlong) {
  std::vector<std::u16string> lines;
  const SettingsFileStatus status = ReadSettingsLines(path, lines);
  if (overlong) overlong->clear();
  if (status == SettingsFileStatus::Read) {
    ShorthandTable table = ParseShorthands(lines);
    if (overlong) *overlong = OverlongShorthands(table);
    context.SetShorthandTable(std::move(table.Keys), std::move(table.Values));
  }
  return status;
}

std::vector<std::u16string> OverlongShorthands(const ShorthandTable& table) {
  std::vector<std::u16string> found;
  for (size_t i = 0; i < table.Keys.size() && i < table.Values.size(); ++i) {
    if (table.Values[i].size() > kMaxShorthandExpansion) found.push_back(table.Keys[i]);
  }
  return found;
}

std::u16string OverlongShorthandsMessage(const std::vector<std::u16string>& abbreviations) {
  if (abbreviations.empty()) return {};
  // A balloon holds little: the first few names, then how many more.
  constexpr size_t kNamed = 3;
  std::u16string names;
  for (size_t i = 0; i < abbreviations.size() && i < kNamed; ++i) {
    if (i > 0) names += u", ";
    std::u16string name = abbreviations[i].substr(0, 16);
    for (char16_t& c : name) {
      if (c < 0x20) c = u' ';
    }
    names += u"\"" + name + u"\"";
  }
  if (abbreviations.size() > kNamed) names += u" và " + FormatInt(static_cast<long long>(abbreviations.size() - kNamed)) + u" từ khác";
  return u"Bảng gõ tắt có đoạn thay thế dài quá " + FormatInt(static_cast<long long>(kMaxShorthandExpansion)) +
         u" ký tự nên không được gõ: " + names + u". Hãy rút ngắn trong \"Gõ tắt ...\".";
}

bool SaveShorthands(const std::u16string& path, const CTypingContext& context) {
  return WriteTextLines(path, FormatShorthands({context.ShorthandKeys, context.ShorthandValues}));
}

}  // namespace tavirel
