// Construction, setup, output and the small helpers of the typing context.
#include <algorithm>

#include "common/Letters.h"
#include "service/CTypingContext.h"
#include "service/IInputMethodService.h"
#include "spelling/CTuDien.h"
#include "spelling/CTuDienTuGhep.h"

namespace tavirel {

CTypingContext::CTypingContext(IInputMethodService* service)
    : Service(service),
      Word(this),
      Before(this),
      Words(this, kMaxRunWords + kRunSlack + 2),
      AutoRestored(this) {
  Init();
}

CTypingContext::CTypingContext(IInputMethodService* service,
                               const std::vector<std::u16string>& ghepVanLines)
    : Service(service),
      Word(this),
      Before(this),
      Words(this, kMaxRunWords + kRunSlack + 2),
      AutoRestored(this),
      ghepVan_(ghepVanLines) {
  Init();
}

CTypingContext::~CTypingContext() = default;

void CTypingContext::Init() {
  GhepVan = &ghepVan_;
  TuDien = &CTuDien::Instance();
  SetCodeTable(nullptr);
  SetBindings(LoadBuiltInKieuGo(std::u16string(kDefaultKieuGo)));
  std::fill(std::begin(asciiBindings_), std::end(asciiBindings_), int16_t{-1});
  RecentText.reserve(kMaxLooseText + (kMaxRunWords + kRunSlack) * 16);
  LooseStack.reserve(kMaxRunWords + kRunSlack + 2);
  sendBuffer_.reserve(64);
  previousText_.reserve(32);
}

// ---- setup ----

void CTypingContext::SetBindings(const CKieuGo& method) {
  ClearBindings();
  for (const auto& [key, binding] : method) {
    SetBinding(key, Binding{binding.function, binding.text, binding.isText});
  }
}

void CTypingContext::ClearBindings() {
  bindings_.clear();
  otherBindings_.clear();
  std::fill(std::begin(asciiBindings_), std::end(asciiBindings_), int16_t{-1});
}

void CTypingContext::SetBinding(char16_t key, const Binding& binding) {
  int index = -1;
  if (key < 128) {
    index = asciiBindings_[key];
  } else if (auto it = otherBindings_.find(key); it != otherBindings_.end()) {
    index = it->second;
  }
  if (index >= 0) {
    bindings_[static_cast<size_t>(index)] = binding;
    return;
  }
  index = static_cast<int>(bindings_.size());
  bindings_.push_back(binding);
  if (key < 128) {
    asciiBindings_[key] = static_cast<int16_t>(index);
  } else {
    otherBindings_[key] = index;
  }
}

const CTypingContext::Binding* CTypingContext::FindBinding(char16_t lowerKey) const {
  int index = -1;
  if (lowerKey < 128) {
    index = asciiBindings_[lowerKey];
  } else if (auto it = otherBindings_.find(lowerKey); it != otherBindings_.end()) {
    index = it->second;
  }
  return index < 0 ? nullptr : &bindings_[static_cast<size_t>(index)];
}

void CTypingContext::SetCodeTable(const std::map<char16_t, std::u16string>& table) {
  auto own = std::make_shared<CBangMa>();
  for (const auto& [c, form] : table) own->Insert(c, form);
  codeTable_ = std::move(own);
}

void CTypingContext::SetCodeTable(std::shared_ptr<const CBangMa> table) {
  static const auto kUnicode = std::make_shared<const CBangMa>();
  codeTable_ = table != nullptr ? std::move(table) : kUnicode;
}

size_t CTypingContext::EncodedLength(std::u16string_view text) const {
  if (codeTable_->Empty()) return text.size();
  return tavirel::EncodedLength(*codeTable_, text);
}

void CTypingContext::SetShorthandTable(std::vector<std::u16string> keys,
                                       std::vector<std::u16string> values) {
  // The two lists are parallel; a longer one is cut to the shorter.
  const size_t n = std::min(keys.size(), values.size());
  keys.resize(n);
  values.resize(n);
  ShorthandKeys = std::move(keys);
  ShorthandValues = std::move(values);
}

// ---- helpers ----

void CTypingContext::SendReplacing(std::u16string_view deleted, int extraBackspaces,
                                   std::u16string_view text) {
  if (Service == nullptr) return;
  if (extraBackspaces < 0) extraBackspaces = 0;
  if (codeTable_->Empty()) {
    Send(static_cast<int>(deleted.size()) + extraBackspaces, text);
    return;
  }
  const size_t units = EncodedLength(deleted) + static_cast<size_t>(extraBackspaces);
  sendBuffer_.clear();
  EncodeTo(*codeTable_, text, sendBuffer_);
  if (units > 0 || !sendBuffer_.empty()) Service->SendText(static_cast<int>(units), sendBuffer_);
}

void CTypingContext::SendDiffEncoded(int backspaces, std::u16string_view text) {
  // The characters to delete are the last ones of the before-image.
  if (backspaces < 0) backspaces = 0;
  const std::u16string_view old = Before.CacKT;
  const size_t n = std::min(static_cast<size_t>(backspaces), old.size());
  SendReplacing(old.substr(old.size() - n), backspaces - static_cast<int>(n), text);
}

bool CTypingContext::InTuDien(std::u16string_view word) const {
  return TuDien != nullptr && TuDien->Contains(word);
}

bool CTypingContext::InTuDienTuGhep(std::u16string_view compound) const {
  return TuDienTuGhep != nullptr && !compound.empty() && TuDienTuGhep->Find(compound) >= 0;
}

bool CTypingContext::SetSuaLoiChinhTaTuGhep(bool on) {
  if (!on) {
    const bool was = SuaLoiChinhTaTuGhep;
    SuaLoiChinhTaTuGhep = false;
    if (was && Service != nullptr) Service->ReleaseDictionaries();
    return false;
  }
  // On before the load: without a hook thread the loaded dictionary is
  // taken in at once, and only while the option asks for it.
  SuaLoiChinhTaTuGhep = true;
  if (Service != nullptr && !Service->LoadDictionaries(true)) SuaLoiChinhTaTuGhep = false;
  return SuaLoiChinhTaTuGhep;
}

std::u16string CTypingContext::CurrentText() const {
  std::u16string text = RecentText;
  if (HasWord) text += Word.CacKT;
  return text;
}

std::u16string CTypingContext::DebugText() const {
  std::u16string text = u"RecentText = " + RecentText;
  text += u"\r\nLooseCount = ";
  for (char c : std::to_string(LooseCount)) text.push_back(static_cast<char16_t>(c));
  text += u"\r\nWords = ";
  for (char c : std::to_string(Words.size())) text.push_back(static_cast<char16_t>(c));
  if (HasWord) {
    text += u"\r\n";
    text += Word.Dump();
  }
  return text;
}

void CTypingContext::Reset() {
  Active = false;
  LongWord = false;
  ClearWords();
  HasWord = false;
  Word.Reset();
  LooseStack.clear();
  LooseCount = 0;
  RecentText.clear();
  HasAutoRestored = false;
}

}  // namespace tavirel
