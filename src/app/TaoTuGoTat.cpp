#include "app/TaoTuGoTat.h"

#include "common/Ini.h"
#include "service/CTypingContext.h"

namespace tavirel {

std::u16string ClipboardTextOf(const char16_t* units, size_t count) {
  if (units == nullptr) return {};
  size_t n = 0;
  while (n < count && units[n] != u'\0') ++n;
  return std::u16string(units, n);
}

TaoTuGoTatStart StartFromClipboard(const std::optional<std::u16string>& text) {
  TaoTuGoTatStart start;
  if (!text) return start;
  if (text->size() > kMaxShorthandExpansion) {
    start.Message = u"Văn bản trong Clipboard dài " + FormatInt(static_cast<long long>(text->size())) +
                    u" ký tự, quá giới hạn " + FormatInt(kMaxShorthandExpansion) +
                    u" ký tự của một từ gõ tắt.";
    return start;
  }
  start.Expansion = *text;
  return start;
}

ShorthandCheck CheckNewShorthand(const std::u16string& abbreviation, const std::u16string& expansion) {
  if (expansion.empty()) return ShorthandCheck::EmptyAbbreviation;
  return CheckShorthand(abbreviation, expansion);
}

ShorthandTable AppendShorthand(CTypingContext& context, const std::u16string& abbreviation,
                               const std::u16string& expansion) {
  std::vector<std::u16string> keys = context.ShorthandKeys;
  std::vector<std::u16string> values = context.ShorthandValues;
  keys.push_back(abbreviation);
  values.push_back(expansion);
  context.SetShorthandTable(keys, values);
  return {std::move(keys), std::move(values)};
}

}  // namespace tavirel
