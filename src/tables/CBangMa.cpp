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

// The replacement of one code unit, packed in the 64-bit codes of CUnitTable:
//   bits 0-15   first unit minus the character (mod 2^16), so 0 means itself;
//   bits 16-47  second and third units;
//   bits 48-55  number of units less one (0 to 2);
//   bit 63      the replacement is kept elsewhere; bits 0-31 say where.
constexpr uint64_t kElsewhere = uint64_t{1} << 63;
constexpr size_t kInlineUnits = 3;

uint64_t Pack(char16_t c, std::u16string_view form) {
  uint64_t code = static_cast<uint16_t>(form[0] - c);
  for (size_t k = 1; k < form.size(); ++k) code |= uint64_t{form[k]} << (16 * k);
  return code | (uint64_t{form.size() - 1} << 48);
}

size_t PackedLength(uint64_t code) { return 1 + ((code >> 48) & 0xFF); }

// Writes all three unit slots (p needs room for them) and steps past the used ones.
char16_t* WritePacked(char16_t c, uint64_t code, char16_t* p) {
  p[0] = static_cast<char16_t>(c + static_cast<uint16_t>(code));
  p[1] = static_cast<char16_t>(code >> 16);
  p[2] = static_cast<char16_t>(code >> 32);
  return p + PackedLength(code);
}

}  // namespace

// ---- CUnitTable ---------------------------------------------------------------

void CUnitTable::Set(char16_t c, uint64_t code) {
  if (pages_.empty()) {
    pages_.emplace_back();
    pages_[0].fill(0);
  }
  uint16_t& page = pageOf_[c >> 8];
  if (page == 0) {
    pages_.emplace_back();
    pages_.back().fill(0);
    page = static_cast<uint16_t>(pages_.size() - 1);
  }
  pages_[page][c & 0xFF] = code;
}

// ---- CBangMa ----------------------------------------------------------------

bool CBangMa::Insert(char16_t c, std::u16string_view form) {
  if (form.empty()) return false;
  const auto [it, fresh] = entries_.try_emplace(c, form);
  if (!fresh) return false;
  if (form.size() != 1) oneUnit_ = false;
  if (form.size() <= kInlineUnits) {
    codes_.Set(c, Pack(c, form));
  } else {
    codes_.Set(c, kElsewhere | longForms_.size());
    longForms_.emplace_back(static_cast<uint32_t>(longPool_.size()), static_cast<uint32_t>(form.size()));
    longPool_.append(form);
  }
  for (const char16_t u : form) {
    if (u > 0xFF) wide_ = true;
  }
  return true;
}

std::u16string_view CBangMa::LongForm(uint64_t code) const {
  const auto& [offset, length] = longForms_[static_cast<uint32_t>(code)];
  return std::u16string_view(longPool_.data() + offset, length);
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
    maxValue_ = std::max(maxValue_, value.size());
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
    // Children reached by byte units (mark bytes, ASCII) get a direct table.
    nodes_[n].dense = 0;
    if (!temp[n].children.empty() && temp[n].children.rbegin()->first < 256) {
      const size_t block = dense_.size();
      dense_.resize(block + 256, 0);
      for (const auto& [unit, child] : temp[n].children) dense_[block + unit] = child + 1;
      nodes_[n].dense = static_cast<uint32_t>(block / 256 + 1);
    }
  }
  oneUnit_ = maxKey_ == 1 && maxValue_ == 1;
  // A one-unit key that starts no longer key is replaced straight from the
  // first-level table; every other first unit leads into the trie.
  for (const auto& [unit, node] : firstLevel) {
    const Temp& t = temp[node];
    if (t.children.empty() && t.value != 0 && values_[t.value - 1].second <= kInlineUnits &&
        values_[t.value - 1].second > 0) {
      const auto& [offset, length] = values_[t.value - 1];
      root_.Set(unit, Pack(unit, std::u16string_view(valuePool_.data() + offset, length)));
    } else {
      root_.Set(unit, kElsewhere | node);
    }
  }
}

std::u16string CDecodeMap::Decode(std::u16string_view text) const {
  std::u16string out;
  DecodeTo(text, out);
  return out;
}

void CDecodeMap::DecodeTo(std::u16string_view text, std::u16string& out) const {
  const size_t base = out.size();
  if (entries_.empty()) {
    out.append(text);
    return;
  }
  if (oneUnit_) {  // an 8-bit table: one unit in, one unit out
    out.resize(base + text.size());
    char16_t* o = out.data() + base;
    for (size_t i = 0; i < text.size(); ++i) {
      o[i] = static_cast<char16_t>(text[i] + static_cast<uint16_t>(root_.Get(text[i])));
    }
    return;
  }
  // Written through a raw pointer with room for the longest value (and the
  // three slots a packed write touches) past every position; the string
  // grows by half when values longer than their keys use that room up.
  // Writing into the caller's string spares a copy of the whole text.
  const size_t room = std::max(maxValue_, kInlineUnits);
  const size_t estimate = maxValue_ > minKey_ ? text.size() + text.size() / 2 : text.size();
  out.resize(base + estimate + room);
  char16_t* o = out.data() + base;
  char16_t* limit = o + estimate;
  const char16_t* s = text.data();
  const size_t n = text.size();
  const Node* nodes = nodes_.data();
  const Edge* edges = edges_.data();
  const uint32_t* dense = dense_.data();
  size_t i = 0;
  while (i < n) {
    if (o > limit) {
      const size_t used = static_cast<size_t>(o - out.data());
      out.resize(out.size() + out.size() / 2 + room);
      o = out.data() + used;
      limit = out.data() + out.size() - room;
    }
    const char16_t c = s[i];
    const uint64_t code = root_.Get(c);
    if (!(code & kElsewhere)) {
      o = WritePacked(c, code, o);
      ++i;
      continue;
    }
    const Node* node = nodes + static_cast<uint32_t>(code);
    size_t best = 0;
    uint32_t bestValue = 0;
    for (size_t depth = 1;; ++depth) {
      if (node->value != 0) {
        best = depth;
        bestValue = node->value;
      }
      if (node->childCount == 0 || i + depth == n) break;
      const char16_t unit = s[i + depth];
      if (node->dense != 0) {
        const uint32_t child = unit < 256 ? dense[(node->dense - 1) * 256 + unit] : 0;
        if (child == 0) break;
        node = nodes + (child - 1);
        continue;
      }
      const Edge* b = edges + node->firstChild;
      const Edge* e = b + node->childCount;
      while (e - b > 4) {  // narrow to a few candidates, then scan
        const Edge* mid = b + (e - b) / 2;
        if (mid->unit < unit) {
          b = mid + 1;
        } else {
          e = mid + 1;
        }
      }
      while (b < e && b->unit < unit) ++b;
      if (b == e || b->unit != unit) break;
      node = nodes + b->node;
    }
    if (best == 0) {
      *o++ = c;
      ++i;
      continue;
    }
    const auto& [offset, length] = values_[bestValue - 1];  // length <= room
    std::copy_n(valuePool_.data() + offset, length, o);
    o += length;
    i += best;
  }
  out.resize(static_cast<size_t>(o - out.data()));
}

// ---- registry -----------------------------------------------------------------

std::u16string BangMaPath() { return ResourcePath(u"BangMa.ini"); }

namespace {

// The shipped file, read once: its table names and every table, so that
// switching tables never reads the file again (a hotkey switches them on the
// key-processing thread).
struct ShippedTables {
  std::vector<std::u16string> names;
  std::map<std::u16string, CBangMa> tables;
};

const ShippedTables& Shipped() {
  static const ShippedTables shipped = [] {
    ShippedTables s;
    const std::vector<std::u16string> lines = ReadTextLines(BangMaPath());
    s.names.push_back(std::u16string(kUnicode));
    for (auto& name : IniSectionNamesOf(lines)) {
      if (name != kUnicode && !s.tables.count(name)) {
        s.tables.emplace(name, BangMaFromSection(IniSectionOf(lines, name)));
      }
      s.names.push_back(std::move(name));
    }
    return s;
  }();
  return shipped;
}

}  // namespace

const std::vector<std::u16string>& CodeTableNames() { return Shipped().names; }

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

CBangMa LoadBangMa(const std::u16string& name) {
  const ShippedTables& shipped = Shipped();
  const auto it = shipped.tables.find(name);
  return it == shipped.tables.end() ? CBangMa() : it->second;
}

// ---- operations ---------------------------------------------------------------

size_t EncodedLength(const CBangMa& table, char16_t ch) {
  if (table.Empty()) return 1;
  const uint64_t code = table.Codes().Get(ch);
  return (code & kElsewhere) ? table.LongForm(code).size() : PackedLength(code);
}

size_t EncodedLength(const CBangMa& table, std::u16string_view text) {
  if (table.Empty()) return text.size();
  const CUnitTable& codes = table.Codes();
  size_t total = 0;
  for (const char16_t c : text) {
    const uint64_t code = codes.Get(c);
    total += (code & kElsewhere) ? table.LongForm(code).size() : PackedLength(code);
  }
  return total;
}

namespace {

// Writes the encoded text at p, which has room for its encoded length plus
// two units (a packed write always fills three slots).
void EncodeInto(const CBangMa& table, std::u16string_view text, char16_t* p) {
  const CUnitTable& codes = table.Codes();
  for (const char16_t c : text) {
    const uint64_t code = codes.Get(c);
    if (code & kElsewhere) {
      const std::u16string_view form = table.LongForm(code);
      p = std::copy(form.begin(), form.end(), p);
    } else {
      p = WritePacked(c, code, p);
    }
  }
}

}  // namespace

void EncodeTo(const CBangMa& table, std::u16string_view text, std::u16string& out) {
  if (table.Empty()) {
    out.append(text);
    return;
  }
  const size_t old = out.size();
  if (table.OneUnitForms()) {
    out.resize(old + text.size());
    const CUnitTable& codes = table.Codes();
    char16_t* p = out.data() + old;
    for (size_t i = 0; i < text.size(); ++i) {
      p[i] = static_cast<char16_t>(text[i] + static_cast<uint16_t>(codes.Get(text[i])));
    }
    return;
  }
  const size_t length = EncodedLength(table, text);
  out.resize(old + length + kInlineUnits - 1);
  EncodeInto(table, text, out.data() + old);
  out.resize(old + length);
}

std::u16string Encode(const CBangMa& table, std::u16string_view text) {
  std::u16string out;
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

std::u16string DecodeLongestMatch(std::u16string_view text, const CDecodeMap& map) { return map.Decode(text); }

}  // namespace tavirel
