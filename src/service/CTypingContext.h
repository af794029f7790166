#pragma once
// The typing context: the word under composition, the run of words typed
// before it, the active typing method's bindings and the output code table.
// The input service hands it every character; it answers "swallow" or "let
// through" and sends the on-screen changes through IInputMethodService.
//
// Word end (shorthand, consonant shorthand, automatic sắc, spelling
// correction, raw-key restore) and the restore hotkey live here too.
//
// Everything runs on the key-processing thread. The per-key path reuses the
// word, its before-image and the output buffers, so it does not allocate
// once the buffers have grown to a word's size.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/Letters.h"
#include "engine/CWord.h"
#include "engine/CWordOwner.h"
#include "service/CIncompleteMemo.h"
#include "service/IInputMethodService.h"
#include "spelling/CGhepVan.h"
#include "tables/CBangMa.h"
#include "tables/CKieuGo.h"

namespace tavirel {

class IInputMethodService;
class CTuDien;
class CTuDienTuGhep;

// The finished words of a run, oldest first, kept in a ring of word objects
// made once: a word joining the run is copied into a free slot's storage and
// dropping the oldest word only moves the start of the ring.
class CRunWords {
 public:
  CRunWords(CWordOwner* owner, size_t capacity);

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  CWord& operator[](size_t i) { return slots_[Slot(i)]; }
  const CWord& operator[](size_t i) const { return slots_[Slot(i)]; }
  CWord& front() { return slots_[head_]; }
  const CWord& front() const { return slots_[head_]; }
  CWord& back() { return slots_[Slot(size_ - 1)]; }
  const CWord& back() const { return slots_[Slot(size_ - 1)]; }

  // Copies the word in as the newest; a full ring grows.
  void push_back(const CWord& word);
  // As push_back, but the word's texts are exchanged with the slot's rather
  // than copied; the word is left reset.
  void push_back_taking(CWord& word) {
    CWord& slot = NewSlot();
    slot.Raw.swap(word.Raw);
    slot.CacKTThuong.swap(word.CacKTThuong);
    slot.CacKT.swap(word.CacKT);
    word.CopyScalarsTo(slot);
    slot.PhimGo = word.PhimGo;
    slot.PhimThuong = word.PhimThuong;
    slot.ThemPhim = word.ThemPhim;
    word.Reset();
  }
  void pop_back() {
    if (size_ > 0) --size_;
  }
  void pop_front() {
    if (size_ == 0) return;
    head_ = Slot(1);
    --size_;
  }
  // Drops the n oldest words (all of them when there are fewer).
  void drop_front(size_t n) {
    if (n >= size_) {
      clear();
      return;
    }
    head_ = Slot(n);
    size_ -= n;
  }
  void clear() {
    head_ = 0;
    size_ = 0;
  }

 private:
  // The slot after the newest, counted in; a full ring grows.
  CWord& NewSlot() {
    if (size_ == slots_.size()) [[unlikely]] Grow();
    return slots_[Slot(size_++)];
  }
  // Lays the words out oldest first in a larger ring.
  void Grow();
  size_t Slot(size_t i) const {
    const size_t s = head_ + i;
    return s >= slots_.size() ? s - slots_.size() : s;
  }

  CWordOwner* owner_;
  std::vector<CWord> slots_;
  size_t head_ = 0;
  size_t size_ = 0;
};

// The replacements the restore hotkey can walk back, oldest first, at most
// kCapacity of them: a new one past that takes the oldest one's place (and
// its strings' storage), so nothing is shifted and a warm list does not
// allocate.
class CReplacementRing {
 public:
  using Replacement = std::pair<std::u16string, std::u16string>;
  static constexpr size_t kCapacity = 64;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const Replacement& operator[](size_t i) const { return slots_[Slot(i)]; }
  Replacement& back() { return slots_[Slot(size_ - 1)]; }
  void pop_back() {
    if (size_ > 0) --size_;
  }
  void push_back(std::u16string_view before, std::u16string_view after) {
    Replacement& slot = slots_[Slot(size_)];
    if (size_ < kCapacity) {
      ++size_;
    } else {
      head_ = Slot(1);
    }
    slot.first.assign(before);
    slot.second.assign(after);
  }
  void clear() {
    head_ = 0;
    size_ = 0;
  }

 private:
  size_t Slot(size_t i) const { return (head_ + i) % kCapacity; }
  Replacement slots_[kCapacity];
  size_t head_ = 0;
  size_t size_ = 0;
};

class CTypingContext : public CWordOwner {
 public:
  // One key of the active typing method, as the context applies it.
  struct Binding {
    int32_t Function = -1;  // 0..33, or -1 for a text binding
    std::u16string Text;    // text of a text binding
    bool IsText = false;
  };
  // (text before, text after) of a replacement the restore hotkey can undo.
  using Replacement = CReplacementRing::Replacement;

  // The finished words kept for the run; older ones (and the text before
  // them) are dropped once kRunSlack more have come, down to kMaxRunWords.
  // Bounds the recent text as well.
  static constexpr size_t kMaxRunWords = 32;
  static constexpr size_t kRunSlack = 16;
  // Loose characters (no word) kept at most in the recent text.
  static constexpr size_t kMaxLooseText = 256;
  // Replacements the restore hotkey can walk back.
  static constexpr size_t kMaxReplacements = CReplacementRing::kCapacity;
  // A word longer than this (far beyond any syllable and its keys) is ended
  // where it stands; the letters that follow it are loose characters.
  static constexpr size_t kMaxWordLength = 32;

  // service receives all output and answers IsNumpadKey / IsVietnamese;
  // it may be null (nothing is sent, Vietnamese mode assumed).
  explicit CTypingContext(IInputMethodService* service = nullptr);
  // Loads the rhyme tables from the given GhepVan.ini lines instead of the
  // shipped file (tests, tools).
  CTypingContext(IInputMethodService* service, const std::vector<std::u16string>& ghepVanLines);
  CTypingContext(const CTypingContext&) = delete;
  CTypingContext& operator=(const CTypingContext&) = delete;
  ~CTypingContext() override;

  // ---- collaborators ----
  IInputMethodService* Service = nullptr;
  // Single-word dictionary (spelling check and single-word correction).
  const CTuDien* TuDien = nullptr;
  // Compound dictionary, owned by the input service.
  const CTuDienTuGhep* TuDienTuGhep = nullptr;
  // The rhyme tables this context owns (CWordOwner::GhepVan points here).
  // What was worked out from them is forgotten at the next word end.
  CGhepVan& GhepVanTables() {
    TablesChanged();
    return ghepVan_;
  }
  const CGhepVan& GhepVanTables() const { return ghepVan_; }

  // ---- options (LuaChon.ini keys; BoDauThanhKieu2 is inherited) ----
  bool GoTat = true;
  bool XuLyHoaThuongKhiGoTat = true;
  bool ChanPhimKhiGoTat = false;
  bool GoTatKhiTatTavirel = false;
  bool KhoiPhucPhimVoiTuSai = true;
  bool DungTuDienDeKTChinhTa = false;
  bool GoCacTuTVLienTuc = false;
  bool GoTatPAD = false;  // change through SetInitialShorthand
  bool GoTatPAC = false;  // change through SetFinalShorthand
  bool TuThemDauSac = false;
  bool SuaLoiChinhTaTuDon = false;
  bool SuaLoiChinhTaTuGhep = false;  // change through SetSuaLoiChinhTaTuGhep

  // ---- state ----
  bool Active = false;          // a character was processed since Reset
  bool EscapePending = false;   // the escape key was pressed inside a word
  bool LongWord = false;        // letters and digits go on a word ended for its length
  bool HasWord = false;         // Word is the current word (else it is reset)
  CWord Word;                   // current word (valid while HasWord)
  // Before-image of the current word. After a key it holds CD0TV, and the
  // other scalar fields and the shown text (CacKT) only when a byte code
  // table needs the replaced characters; BeforeLength is the length of that
  // text either way.
  // Raw and CacKTThuong are filled where a full copy is taken (word end,
  // restore).
  CWord Before;
  size_t BeforeLength = 0;
  std::u16string RecentText;    // finished words and the characters between them
  CRunWords Words;              // finished words of the run, oldest first
  int32_t LooseCount = 0;       // loose characters since the last finished word
  std::vector<int32_t> LooseStack;  // loose count before each started word
  CReplacementRing Replacements;
  bool HasAutoRestored = false;
  CWord AutoRestored;           // the last word whose raw keys were restored
  std::vector<std::u16string> ShorthandKeys;     // GoTat.ini abbreviations
  std::vector<std::u16string> ShorthandValues;   // and their expansions

  // ---- setup ----
  // Replaces the typing method's bindings (keys are lower-case characters).
  void SetBindings(const CKieuGo& method);
  void ClearBindings();
  void SetBinding(char16_t key, const Binding& binding);
  // The binding of an already lower-cased key, or null.
  const Binding* FindBinding(char16_t lowerKey) const;
  // Replaces the output code table (character -> encoded form); an empty
  // table is Unicode.
  void SetCodeTable(const std::map<char16_t, std::u16string>& table);
  // Uses a loaded table as it is, without a copy (null is Unicode); the
  // table must not change while it is used.
  void SetCodeTable(std::shared_ptr<const CBangMa> table);
  void SetCodeTable(const CBangMa& table) { SetCodeTable(std::make_shared<const CBangMa>(table)); }  // a copy
  const CBangMa& CodeTable() const { return *codeTable_; }
  bool IsUnicodeTable() const { return codeTable_->Empty(); }
  // The encoded length of a text in the output table.
  size_t EncodedLength(std::u16string_view text) const;
  void SetShorthandTable(std::vector<std::u16string> keys, std::vector<std::u16string> values);
  void SetInitialShorthand(bool on);
  void SetFinalShorthand(bool on);
  // Turning it on asks the service to load the compound dictionary and stays
  // off when that fails; off releases it. Returns the stored value.
  bool SetSuaLoiChinhTaTuGhep(bool on);

  // ---- per key ----
  bool ProcessChar(char16_t ch) {
    Active = true;
    if (Vietnamese()) [[likely]] return ComposeKey(ch);
    return ProcessCharUnmarked(ch);
  }
  bool ComposeKey(char16_t ch);
  bool AddKeyAsLetter(char16_t ch);
  bool ContinueWord(char16_t ch, bool again);
  bool Backspace();
  void ReactivatePrevious();
  // Deletes backspaces characters of the before-image and types text.
  void SendDiff(int backspaces, std::u16string_view text) {
    if (codeTable_->Empty()) [[likely]] {
      Send(backspaces, text);  // only their number counts
      return;
    }
    SendDiffEncoded(backspaces, text);
  }
  // Recent text followed by the current word.
  std::u16string CurrentText() const;
  std::u16string DebugText() const;
  // Forgets the word and the run (the replacement list stays).
  void Reset();

  // ---- word end and restore ----
  // ch is the ending character, 0 for Esc, Enter, Tab; true swallows it.
  bool EndWord(char16_t ch);
  void RestoreLastWord();
  // The abbreviation at the end of the recent text and its expansion.
  bool FindShorthand(std::u16string& typed, std::u16string& expansion) const;
  void ReplaceOnScreen(std::u16string_view oldText, std::u16string_view newText);
  void TrimRun(size_t n);
  void FeedRun(std::u16string_view text);

  // ---- suggestions ----
  // The texts to search for after the last key: while a word is typed, the
  // previous Vietnamese word, one space and this word, then this word alone
  // (this word alone when no such previous word); right after a Vietnamese
  // word, that word (with the one space typed since, if any). Empty
  // otherwise. Reuses the strings of texts.
  void SuggestionCandidates(std::vector<std::u16string>& texts) const;
  // Replaces typed (the end of what is on screen) with the candidate and one
  // space: each word of the candidate gets the user's tone placement and the
  // candidate takes typed's case (all capitals, or a first capital). The
  // change can be walked back with the restore hotkey. Returns the text
  // written without its space.
  std::u16string AcceptSuggestion(std::u16string_view typed, std::u16string_view candidate);

  // ---- word-end rules; each returns whether it changed something ----
  bool ApplyInitialShorthand(CWord& word);
  bool ApplyFinalShorthand(CWord& word);
  bool ApplyAutoSac(CWord& word);
  // Compound correction with the previous word, else single-word correction.
  bool CorrectCompound(CWord& word, CWord* previous);
  bool CorrectSingle(CWord& word);

  // Dictionary queries (false without a dictionary).
  bool InTuDien(std::u16string_view word) const;
  bool InTuDienTuGhep(std::u16string_view compound) const;

 private:
  void Init();
  // ProcessChar while Vietnamese typing is off.
  bool ProcessCharUnmarked(char16_t ch);
  void SendDiffEncoded(int backspaces, std::u16string_view text);
  // Lower case of a key for binding lookup.
  static char16_t LookupKey(char16_t ch) { return letters::ToLower(ch); }
  static bool IsLetter(char16_t ch) { return letters::IsLower(ch) || letters::IsUpper(ch); }
  static bool IsDigit(char16_t ch) { return ch >= u'0' && ch <= u'9'; }
  bool Numpad() const { return Service != nullptr && Service->IsNumpadKey(); }
  bool Vietnamese() const { return Service == nullptr || Service->IsVietnamese(); }
  void Send(int backspaces, std::u16string_view text) {
    if (backspaces <= 0 && text.empty()) return;
    if (Service == nullptr) return;
    sendBuffer_.assign(text);
    Service->SendText(backspaces > 0 ? backspaces : 0, sendBuffer_);
  }
  // Deletes the characters `deleted` (the tail of what is on screen) and
  // types text, both through the code table.
  void SendReplacing(std::u16string_view deleted, int extraBackspaces, std::u16string_view text);

  // Run helpers.
  void StartWord();
  void FinishWord();
  void DropEmptyWord();
  // A character outside words joins the run.
  void AppendLoose(char16_t ch) {
    RecentText.push_back(ch);
    ++LooseCount;
    BoundRun();
  }
  // Words leave and join the run through these.
  void PushWord(const CWord& word);
  void PopWord();
  void ClearWords();
  // Keeps the run within its bounds; nearly always there is nothing to cut.
  void BoundRun() {
    if (Words.size() > kMaxRunWords + kRunSlack ||
        (!HasWord && static_cast<size_t>(LooseCount) > kMaxLooseText) ||
        (!LooseStack.empty() && static_cast<size_t>(LooseStack.front()) > kMaxLooseText)) [[unlikely]] {
      CutRun();
    }
  }
  void CutRun();
  void AddReplacement(std::u16string_view before, std::u16string_view after);
  bool RestoreRawOf(CWord& word, const CWord& before);
  void TakeBefore();
  bool ApplyBinding(const Binding& binding);
  // Whether the binding may start a word (text and letter-creating functions).
  static bool CreatesLetter(const Binding& b) {
    return b.IsText || (b.Function >= kFnUOA_HornBreve_U && b.Function <= kFnInsertLast);
  }
  // Backspace: makes the word's raw keys the keys of what it now shows.
  // keysBefore_ holds the keys before the last character went.
  void FitRawToText();
  // Composes keys as one word on replay_, as the per-key step would; false
  // when a key would have ended the word.
  bool Replay(std::u16string_view keys);
  bool ReplayGives(std::u16string_view keys, std::u16string_view text);
  // FindShorthand on the given end of the recent text.
  bool FindShorthandIn(std::u16string_view recent, std::u16string& typed,
                       std::u16string& expansion) const;
  // Whether a shorthand would match once the current word is finished.
  bool ShorthandAfterWord();

  CGhepVan ghepVan_;
  // Word end: whether a syllable can end, per syllable; cleared at a word end
  // once tablesChanged_ is set (by any thread that may change the tables).
  CIncompleteMemo incompleteMemo_;
  std::atomic<bool> tablesChanged_{false};
  void TablesChanged() { tablesChanged_.store(true, std::memory_order_relaxed); }
  std::vector<Binding> bindings_;           // by index
  int16_t asciiBindings_[128];              // key -> index into bindings_, -1 none
  std::map<char16_t, int> otherBindings_;   // other keys -> index
  std::shared_ptr<const CBangMa> codeTable_;  // never null; shared, not copied
  std::u16string sendBuffer_;               // reused output buffer
  std::u16string previousText_;             // EndWord: the previous word as shown before corrections
  std::u16string shorthandTail_;            // end of the run as a shorthand would see it
  std::u16string keysBefore_;               // Backspace: the word's keys before it
  std::u16string keysTried_;                // Backspace: a candidate for the remaining keys
  CWord replay_{this};                      // Backspace: keys composed again
  CWord shorthandPiece_{this};              // EndWord: a word of a shorthand's expansion
  std::u16string shorthandTyped_;           // EndWord: the abbreviation matched
  std::u16string shorthandExpansion_;       // and its expansion
};

}  // namespace tavirel
