// The vowel-group tables of the mark functions that act on a whole nucleus.
#include "engine/CWord.h"

namespace tavirel {

namespace {

// Splits at single spaces; the views point into the static literals.
std::vector<std::u16string_view> SplitWords(std::u16string_view s) {
  std::vector<std::u16string_view> out;
  size_t start = 0;
  while (start <= s.size()) {
    const size_t sp = s.find(u' ', start);
    const size_t end = sp == std::u16string_view::npos ? s.size() : sp;
    if (end > start) out.push_back(s.substr(start, end - start));
    if (sp == std::u16string_view::npos) break;
    start = sp + 1;
  }
  return out;
}

}  // namespace

CVowelGroupTable::CVowelGroupTable(std::u16string_view keys, std::u16string_view values) {
  const auto k = SplitWords(keys);
  const auto v = SplitWords(values);
  for (size_t i = 0; i < k.size() && i < v.size(); ++i) entries_.emplace_back(k[i], v[i]);
}

std::u16string_view CVowelGroupTable::Find(std::u16string_view nucleus) const {
  for (const auto& [key, value] : entries_) {
    if (key == nucleus) return value;
  }
  return {};
}

namespace vowelgroups {

const CVowelGroupTable& HornBreve() {
  static const CVowelGroupTable t(
      u"a â u o ô oa oi ôi ua ui uo ưo uô uơ uu uoi ưoi uơi uôi uou",
      u"ă ă ư ơ ơ oă ơi ơi ưa ưi uơ ươ uơ ươ ưu ươi ươi ươi ươi ươu");
  return t;
}

const CVowelGroupTable& HornBreveUndo() {
  static const CVowelGroupTable t(u"ă ư ơ oă ơi uơ ưo ươ ưa ưi ưu ươi ưoi uơi ươu",
                                  u"a u o oa oi uo uo uo ua ui uu uoi uoi uoi uou");
  return t;
}

const CVowelGroupTable& Horn() {
  static const CVowelGroupTable t(
      u"â u o ô oi ôi ua ui uo ưo uô uơ uu uoi ưoi uơi uôi uou",
      u"ă ư ơ ơ ơi ơi ưa ưi uơ ươ uơ ươ ưu ươi ươi ươi ươi ươu");
  return t;
}

const CVowelGroupTable& HornUndo() {
  static const CVowelGroupTable t(u"ư ơ ơi uơ ưo ươ ưa ưi ưu ươi ưoi uơi ươu",
                                  u"u o oi uo uo uo ua ui uu uoi uoi uoi uou");
  return t;
}

const CVowelGroupTable& Circumflex() {
  static const CVowelGroupTable t(
      u"a ă e o ơ au ay eu ie oi ơi ua ue uo uơ ươ ieu uay uoi ươi ưoi uơi uye ye yeu",
      u"â â ê ô ô âu ây êu iê ôi ôi uâ uê uô uô uô iêu uây uôi uôi uôi uôi uyê yê yêu");
  return t;
}

const CVowelGroupTable& CircumflexUndo() {
  static const CVowelGroupTable t(u"â ê ô âu ây êu iê ôi uâ uê uô iêu uây uôi uyê yê yêu",
                                  u"a e o au ay eu ie oi ua ue uo ieu uay uoi uye ye yeu");
  return t;
}

const CVowelGroupTable& OCircumflex() {
  static const CVowelGroupTable t(u"o ơ oi ơi uo uơ ươ uoi ươi ưoi uơi",
                                  u"ô ô ôi ôi uô uô uô uôi uôi uôi uôi");
  return t;
}

const CVowelGroupTable& OCircumflexUndo() {
  static const CVowelGroupTable t(u"ô ôi uô uôi", u"o oi uo uoi");
  return t;
}

}  // namespace vowelgroups
}  // namespace tavirel
