#include "tables/CBangMa.h"

#include <algorithm>

#include "common/AppDirectory.h"
#include "common/Letters.h"

namespace tavirel {

namespace {

const std::u16string kUnicode = u"Unicode";

// ASCII a to z or one of the 67 lower-case Vietnamese letters.
bool IsLowerLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || letters::IndexIn(letters::CaseLower, c) >= 0;
}

}  // namespace

// ---- CUnitIndex -------------------------------------------------------------

void CUnitIndex::Set(char16_t c, uint32_t value) {
  uint16_t& page = pageOf_[c >> 8];
  if (page == 0) {
    pages_.emplace_back();
    pages_.back().fill(0);
    page = static_cast<uint16_t>(pages_.size());
  }
  pages_[page - 1][c & 0xFF] = value;
}

// ---- CBangMa ----------------------------------------------------------------

bool CBangMa::Insert(char16_t c, std::u16string_view form) {
  if (form.empty()) return false;
  const auto [it, fresh] = entries_.try_emplace(c, form);
  if (!fresh) return false;
  slots_.push_back(Slot{static_cast<uint32_t>(pool_.size()), static_cast<uint32_t>(form.size())});
  pool_.append(form);
  index_.Set(c, static_cast<uint32_t>(slots_.size()));
  for (const char16_t u : form) {
    if (u > 0xFF) wide_ = true;
  }
  return true;
}

// ---- CDecodeMap -------------------------------------------------------------

CDecodeMap::CDecodeMap(Entries entries) : entries_(std::move(entries)) {
  entries_.erase(std::u16string());
  if (entries_.empty()) return;

  // Build a trie with ordered children, then lay it out flat: each node's
  // children sit together in edges_, sorted by code unit.
  struct Temp {
    uint32_t value = 0;
    std::map<char16_t, uint32_t> children;
  };
  std::vector<Temp> temp;
  std::map<char16_t, uint32_t> firstLevel;
  minKey_ = SIZE_MAX;
  for (const auto& [key, value] : entries_) {
    minKey_ = std::min(minKey_, key.size());
    maxKey_ = std::max(maxKey_, key.size());
    values_.emplace_back(static_cast<uint32_t>(valuePool_.size()), static_cast<uint32_t>(value.size()));
    valuePool_ += value;

    auto [first, fresh] = firstLevel.try_emplace(key[0], static_cast<uint32_t>(temp.size()));
    if (fresh) temp.emplace_back();
    uint32_t node = first->second;
    for (size_t d = 1; d < key.size(); ++d) {
      const auto found = temp[node].children.find(key[d]);
      if (found != temp[node].children.end()) {
        node = found->second;
      } else {
        const uint32_t child = static_cast<uint32_t>(temp.size());
        temp[node].children.emplace(key[d], child);
        temp.emplace_back();
        node = child;
      }
    }
    temp[node].value = static_cast<uint32_t>(values_.size());
  }

  nodes_.resize(temp.size());
  for (size_t n = 0; n < temp.size(); ++n) {
    nodes_[n].value = temp[n].value;
    nodes_[n].firstChild = static_cast<uint32_t>(edges_.size());
    nodes_[n].childCount = static_cast<uint32_t>(temp[n].children.size());
    for (const auto& [unit, child] : temp[n].children) edges_.push_back(Edge{unit, child});
  }
  for (const auto& [unit, node] : firstLevel) root_.Set(unit, node + 1);
}

size_t CDecodeMap::Match(std::u16string_view text, std::u16string_view* value) const {
  if (text.empty()) return 0;
  const uint32_t start = root_.Get(text[0]);
  if (start == 0) return 0;
  uint32_t node = start - 1;
  size_t best = 0;
  uint32_t bestValue = 0;
  for (size_t depth = 1;; ++depth) {
    const Node& n = nodes_[node];
    if (n.value != 0) {
      best = depth;
      bestValue = n.value;
    }
    if (depth == text.size() || n.childCount == 0) break;
    const Edge* b = edges_.data() + n.firstChild;
    const Edge* e = b + n.childCount;
    const char16_t unit = text[depth];
    const Edge* it = std::lower_bound(b, e, unit, [](const Edge& x, char16_t u) { return x.unit < u; });
    if (it == e || it->unit != unit) break;
    node = it->node;
  }
  if (best != 0 && value) {
    const auto& [offset, length] = values_[bestValue - 1];
    *value = std::u16string_view(valuePool_).substr(offset, length);
  }
  return best;
}

// ---- registry -----------------------------------------------------------------

std::u16string BangMaPath() { return ResourcePath(u"BangMa.ini"); }

const std::vector<std::u16string>& CodeTableNames() {
  static const std::vector<std::u16string> names = [] {
    std::vector<std::u16string> list{kUnicode};
    const std::vector<std::u16string> sections = ReadIniSectionNames(BangMaPath());
    list.insert(list.end(), sections.begin(), sections.end());
    return list;
  }();
  return names;
}

std::vector<std::u16string> GetCodeTableNames() { return CodeTableNames(); }

CBangMa BangMaFromSection(const IniKeys& section) {
  CBangMa table;
  for (const auto& [key, value] : section) {
    if (key.empty() || value.empty()) continue;
    table.Insert(key[0], value);
  }
  return table;
}

CBangMa LoadBangMa(const std::vector<std::u16string>& names, const std::u16string& path,
                   const std::u16string& name) {
  // "Unicode" is the identity whatever the file holds.
  if (name == kUnicode) return CBangMa();
  if (std::find(names.begin(), names.end(), name) == names.end()) return CBangMa();
  return BangMaFromSection(ReadIniSection(path, name));
}

CBangMa LoadBangMa(const std::u16string& name) { return LoadBangMa(CodeTableNames(), BangMaPath(), name); }

// ---- operations ---------------------------------------------------------------

size_t EncodedLength(const CBangMa& table, char16_t ch) {
  const std::u16string_view form = table.Find(ch);
  return form.empty() ? 1 : form.size();
}

size_t EncodedLength(const CBangMa& table, std::u16string_view text) {
  if (table.Empty()) return text.size();
  size_t total = 0;
  for (const char16_t c : text) total += EncodedLength(table, c);
  return total;
}

void EncodeTo(const CBangMa& table, std::u16string_view text, std::u16string& out) {
  if (table.Empty()) {
    out.append(text);
    return;
  }
  size_t run = 0;  // start of the characters still to copy as they are
  for (size_t i = 0; i < text.size(); ++i) {
    const std::u16string_view form = table.Find(text[i]);
    if (form.empty()) continue;
    out.append(text.substr(run, i - run));
    out.append(form);
    run = i + 1;
  }
  out.append(text.substr(run));
}

std::u16string Encode(const CBangMa& table, std::u16string_view text) {
  std::u16string out;
  out.reserve(EncodedLength(table, text));
  EncodeTo(table, text, out);
  return out;
}

bool IsWide(const CBangMa& table) { return table.Empty() || table.HasWideForm(); }

CDecodeMap BuildDecodeMap(const CBangMa& table, bool preferLower) {
  CDecodeMap::Entries map;
  for (const auto& [c, form] : table.Map()) {
    const auto [it, fresh] = map.try_emplace(form, 1, c);
    if (!fresh && preferLower && IsLowerLetter(c)) it->second.assign(1, c);
  }
  return CDecodeMap(std::move(map));
}

CTranscodeMap BuildTranscodeMap(const CBangMa& source, const CBangMa& target, bool preferLower) {
  CDecodeMap::Entries map;
  for (const auto& [c, form] : source.Map()) {
    const std::u16string_view to = target.Find(c);
    const auto it = map.find(form);
    if (it == map.end()) {
      if (!to.empty()) map.emplace(form, to);
    } else if (preferLower && IsLowerLetter(c) && !to.empty()) {
      it->second.assign(to);
    }
  }
  return CTranscodeMap(std::move(map));
}

std::u16string DecodeLongestMatch(std::u16string_view text, const CDecodeMap& map) {
  std::u16string out;
  if (map.Empty()) return std::u16string(text);
  out.reserve(text.size());
  size_t run = 0;
  size_t i = 0;
  while (i < text.size()) {
    std::u16string_view value;
    const size_t length = map.Match(text.substr(i), &value);
    if (length == 0) {
      ++i;
      continue;
    }
    out.append(text.substr(run, i - run));
    out.append(value);
    i += length;
    run = i;
  }
  out.append(text.substr(run));
  return out;
}

}  // namespace tavirel
