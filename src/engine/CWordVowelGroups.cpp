// The vowel-group tables of the mark functions that act on a whole nucleus.
#include <algorithm>

#include "engine/CWord.h"

namespace tavirel {

constexpr CVowelGroupTable::CVowelGroupTable(std::u16string_view keys, std::u16string_view values) {
  // The n-th word of keys maps to the n-th word of values; words are
  // separated by spaces.
  const auto next = [](std::u16string_view& rest) {
    while (!rest.empty() && rest.front() == u' ') rest.remove_prefix(1);
    const size_t end = std::min(rest.find(u' '), rest.size());
    const std::u16string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
  };
  for (size_t n = 0; n < kSlots / 2; ++n) {
    const std::u16string_view k = next(keys);
    const std::u16string_view v = next(values);
    if (k.empty() || v.empty()) break;
    if (k.size() > 3) continue;  // no nucleus is that long
    const uint64_t key = Pack(k);
    size_t slot = SlotOf(key);
    while (keys_[slot] != 0 && keys_[slot] != key) slot = (slot + 1) % kSlots;
    if (keys_[slot] == key) continue;  // the first listing counts
    keys_[slot] = key;
    values_[slot] = v;
  }
}

std::u16string_view CVowelGroupTable::Find(std::u16string_view nucleus) const {
  if (nucleus.empty() || nucleus.size() > 3) return {};
  const uint64_t key = Pack(nucleus);
  for (size_t slot = SlotOf(key);; slot = (slot + 1) % kSlots) {
    if (keys_[slot] == key) return values_[slot];
    if (keys_[slot] == 0) return {};
  }
}

namespace vowelgroups {

const CVowelGroupTable& HornBreve() {
  static constinit const CVowelGroupTable t(
      u"a â u o ô oa oi ôi ua ui uo ưo uô uơ uu uoi ưoi uơi uôi uou",
      u"ă ă ư ơ ơ oă ơi ơi ưa ưi uơ ươ uơ ươ ưu ươi ươi ươi ươi ươu");
  return t;
}

const CVowelGroupTable& HornBreveUndo() {
  static constinit const CVowelGroupTable t(u"ă ư ơ oă ơi uơ ưo ươ ưa ưi ưu ươi ưoi uơi ươu",
                                  u"a u o oa oi uo uo uo ua ui uu uoi uoi uoi uou");
  return t;
}

const CVowelGroupTable& Horn() {
  static constinit const CVowelGroupTable t(
      u"â u o ô oi ôi ua ui uo ưo uô uơ uu uoi ưoi uơi uôi uou",
      u"ă ư ơ ơ ơi ơi ưa ưi uơ ươ uơ ươ ưu ươi ươi ươi ươi ươu");
  return t;
}

const CVowelGroupTable& HornUndo() {
  static constinit const CVowelGroupTable t(u"ư ơ ơi uơ ưo ươ ưa ưi ưu ươi ưoi uơi ươu",
                                  u"u o oi uo uo uo ua ui uu uoi uoi uoi uou");
  return t;
}

const CVowelGroupTable& Circumflex() {
  static constinit const CVowelGroupTable t(
      u"a ă e o ơ au ay eu ie oi ơi ua ue uo uơ ươ ieu uay uoi ươi ưoi uơi uye ye yeu",
      u"â â ê ô ô âu ây êu iê ôi ôi uâ uê uô uô uô iêu uây uôi uôi uôi uôi uyê yê yêu");
  return t;
}

const CVowelGroupTable& CircumflexUndo() {
  static constinit const CVowelGroupTable t(u"â ê ô âu ây êu iê ôi uâ uê uô iêu uây uôi uyê yê yêu",
                                  u"a e o au ay eu ie oi ua ue uo ieu uay uoi uye ye yeu");
  return t;
}

const CVowelGroupTable& OCircumflex() {
  static constinit const CVowelGroupTable t(u"o ơ oi ơi uo uơ ươ uoi ươi ưoi uơi",
                                  u"ô ô ôi ôi uô uô uô uôi uôi uôi uôi");
  return t;
}

const CVowelGroupTable& OCircumflexUndo() {
  static constinit const CVowelGroupTable t(u"ô ôi uô uôi", u"o oi uo uoi");
  return t;
}

}  // namespace vowelgroups
}  // namespace tavirel
