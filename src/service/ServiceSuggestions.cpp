// The service's suggestions and the compound dictionary they share with the
// compound correction.
//
// Threads: everything here runs on the thread that owns the service (the
// hook thread once it runs), except the jobs given to worker_. A job only
// touches its SuggestionLoad and the files; it hands its result over by
// setting Done last (release), and the owner takes it after reading Done
// (acquire). Dictionaries are shared pointers that are replaced, never
// emptied in place, so a dictionary a job or the engine still reads stays
// alive until they let it go.
#include <atomic>

#include "common/AppDirectory.h"
#include "common/BackgroundQueue.h"
#include "common/Letters.h"
#include "service/CInputMethodService.h"
#include "service/CSuggestionList.h"
#include "service/CTypingContext.h"
#include "spelling/CSuggestionEngine.h"
#include "spelling/CTuDienTuGhep.h"
#include "spelling/SuggestionRanking.h"
#include "spelling/UsedKeywordsFile.h"

namespace tavirel {

struct CInputMethodService::SuggestionLoad {
  // In: the dictionary to attach to, or null to load it from DictionaryPath.
  std::shared_ptr<CTuDienTuGhep> Dictionary;
  std::u16string DictionaryPath;
  bool MakeEngine = false;
  int32_t Limit = 24;
  std::u16string UsedKeywordsPath;
  // Out.
  std::unique_ptr<CSuggestionEngine> Engine;
  std::atomic<bool> Done{false};

  void Run() {
    if (Dictionary == nullptr) {
      auto loaded = std::make_shared<CTuDienTuGhep>();
      loaded->Load(DictionaryPath);
      // Built here, so that no reader builds them later while another reads.
      loaded->BuildHashes();
      Dictionary = std::move(loaded);
    }
    if (MakeEngine && !Dictionary->Empty()) {
      auto engine = std::make_unique<CSuggestionEngine>(Limit);
      engine->Attach(*Dictionary);
      // Within each matching step the words people use most come first.
      engine->SetRanking(LoadSuggestionRanking(*Dictionary, ResourcePath(u"TuGhepThongDung.txt")));
      CSuggestionEngine::UsedKeywords used;
      LoadUsedKeywordsFile(UsedKeywordsPath, StampOf(*Dictionary), used);
      engine->SetUsed(std::move(used));
      Engine = std::move(engine);
    }
    Done.store(true, std::memory_order_release);
  }
};

// ---------------------------------------------------------------- dictionary

bool CInputMethodService::LoadDictionaries(bool withLookup) {
  if (!FileExists(ResourcePath(u"TuDienTuGhep.txt"))) return false;
  if (compoundDictionary_->Empty()) {
    StartSuggestionLoad();
  } else if (withLookup && !compoundDictionary_->HasHashes() && load_ == nullptr) {
    compoundDictionary_->BuildHashes();
  }
  return true;
}

void CInputMethodService::ReleaseDictionaries() {
  if (suggestionsOn_ || context_->SuaLoiChinhTaTuGhep || compoundDictionary_->Empty()) return;
  InstallDictionary(std::make_shared<CTuDienTuGhep>());
}

void CInputMethodService::InstallDictionary(std::shared_ptr<CTuDienTuGhep> dictionary) {
  compoundDictionary_ = std::move(dictionary);
  context_->TuDienTuGhep = compoundDictionary_.get();
}

void CInputMethodService::StartSuggestionLoad() {
  if (load_ != nullptr) return;  // what is still missing is asked for when it is taken in
  auto load = std::make_shared<SuggestionLoad>();
  if (!compoundDictionary_->Empty()) {
    if (!compoundDictionary_->HasHashes()) compoundDictionary_->BuildHashes();
    load->Dictionary = compoundDictionary_;
  }
  load->DictionaryPath = ResourcePath(u"TuDienTuGhep.txt");
  load->MakeEngine = suggestionsOn_;
  load->Limit = SoLuongTuGoiY;
  load->UsedKeywordsPath = UsedKeywordsPath;
  load_ = load;
  RefreshRoads();
  if (!dispatcher_.Attached()) {
    // No hook thread: the caller owns the service and may take its time.
    load->Run();
    TakeLoadedSuggestions();
    return;
  }
  if (worker_ == nullptr) worker_ = std::make_unique<CBackgroundQueue>();
  worker_->Post([this, load] {
    load->Run();
    // Wakes the hook thread to take it in even when no key comes.
    // Run here at once when the hook thread has gone: then it waits for the
    // owner's next key or FinishBackgroundWork.
    dispatcher_.Post([](CInputMethodService& s) {
      if (s.Dispatcher().OnServiceThread()) s.TakeLoadedSuggestions();
    });
  });
}

void CInputMethodService::TakeLoadedSuggestions() {
  if (load_ == nullptr || !load_->Done.load(std::memory_order_acquire)) return;
  const std::shared_ptr<SuggestionLoad> load = std::move(load_);
  load_ = nullptr;
  RefreshRoads();
  const bool needed = suggestionsOn_ || context_->SuaLoiChinhTaTuGhep;
  if (needed && compoundDictionary_->Empty() && load->Dictionary != nullptr) InstallDictionary(load->Dictionary);
  if (suggestionsOn_ && engine_ == nullptr && load->Engine != nullptr && load->Dictionary == compoundDictionary_) {
    engine_ = std::move(load->Engine);
    engineDictionary_ = compoundDictionary_;
  }
  // Asked for while this load was out.
  if (suggestionsOn_ && engine_ == nullptr && !compoundDictionary_->Empty()) StartSuggestionLoad();
}

// ---------------------------------------------------------------- switching

void CInputMethodService::EnableSuggestions(bool on) {
  if (on == suggestionsOn_) return;
  if (!on) {
    SaveUsedKeywords();
    KeepSuggestionLook();
    if (suggestionWindow_ != nullptr) suggestionWindow_->HideSuggestions();
    engine_.reset();
    engineDictionary_.reset();
    suggestionsOn_ = false;
    ReleaseDictionaries();
    return;
  }
  // Without the dictionary the feature stays off, silently.
  if (!FileExists(ResourcePath(u"TuDienTuGhep.txt"))) return;
  suggestionsOn_ = true;
  if (suggestionWindow_ != nullptr) {
    suggestionWindow_->SetExpanded(SuggestionUIExpand);
    suggestionWindow_->SetAlpha(SuggestionUIAlpha);
  }
  StartSuggestionLoad();
}

void CInputMethodService::SaveUsedKeywords() {
  if (engine_ == nullptr || engine_->Used().empty() || UsedKeywordsPath.empty()) return;
  // A copy for the worker: the engine keeps learning meanwhile.
  auto used = std::make_shared<const CSuggestionEngine::UsedKeywords>(engine_->Used());
  auto dictionary = engineDictionary_;
  if (worker_ == nullptr) worker_ = std::make_unique<CBackgroundQueue>();
  worker_->Post([used, dictionary, path = UsedKeywordsPath] {
    SaveUsedKeywordsFile(path, *used, StampOf(*dictionary));
  });
}

void CInputMethodService::FinishBackgroundWork() {
  if (worker_ != nullptr) worker_->Flush();
  if (!dispatcher_.Attached()) TakeLoadedSuggestions();
}

// ---------------------------------------------------------------- the list

ISuggestionWindow& CInputMethodService::EnsureSuggestionWindow() {
  if (suggestionWindow_ == nullptr) {
    if (windowFactory_) suggestionWindow_ = windowFactory_(*this);
    if (suggestionWindow_ == nullptr) suggestionWindow_ = std::make_unique<CSuggestionList>();
    suggestionWindow_->SetExpanded(SuggestionUIExpand);
    suggestionWindow_->SetAlpha(SuggestionUIAlpha);
  }
  return *suggestionWindow_;
}

void CInputMethodService::DropSuggestionWindow() {
  KeepSuggestionLook();
  suggestionWindow_.reset();
}

void CInputMethodService::KeepSuggestionLook() {
  if (suggestionWindow_ == nullptr) return;
  SuggestionUIExpand = suggestionWindow_->Expanded();
  SuggestionUIAlpha = suggestionWindow_->Alpha();
}

void CInputMethodService::HideSuggestionList() {
  if (suggestionWindow_ != nullptr && suggestionWindow_->IsShown()) suggestionWindow_->HideSuggestions();
}

bool CInputMethodService::SuggestionWindowVisible() const {
  return suggestionWindow_ != nullptr && suggestionWindow_->IsShown();
}

const std::u16string& CInputMethodService::SuggestionText(int row) const {
  static const std::u16string kNone;
  if (engine_ == nullptr || row < 0 || static_cast<size_t>(row) >= engine_->Results().size()) return kNone;
  return engine_->ResultText(engine_->Results()[static_cast<size_t>(row)]);
}

void CInputMethodService::UpdateSuggestions() {
  if (!suggestionsOn_ || SuggestionsSuspended || engine_ == nullptr) return;
  context_->SuggestionCandidates(suggestionQueries_);
  if (suggestionQueries_.empty()) {
    HideSuggestionList();
    return;
  }
  engine_->SetLimit(SoLuongTuGoiY);
  engine_->SetQueries(suggestionQueries_);
  engine_->Search();
  if (engine_->Results().empty()) {
    HideSuggestionList();
    return;
  }
  ISuggestionWindow& window = EnsureSuggestionWindow();
  window.SetAllRows(SoLuongTuGoiY == 0);
  window.SetResults(static_cast<int>(engine_->Results().size()));
  if (SuggestionUIManualPosition) {
    window.ShowAtManualPosition();
  } else {
    window.ShowNearCaret();
  }
}

bool CInputMethodService::PickSuggestion(int row) {
  if (engine_ == nullptr || row < 0 || static_cast<size_t>(row) >= engine_->Results().size()) return false;
  const auto& queries = engine_->Queries();
  const size_t group = static_cast<size_t>(engine_->GroupOf(row));
  if (group >= queries.size()) return false;
  const std::u16string typed = queries[group];
  const int32_t entry = engine_->Results()[static_cast<size_t>(row)];
  const std::u16string candidate = engine_->ResultText(entry);
  context_->AcceptSuggestion(typed, candidate);
  if (row > 0) {
    engine_->Learn(letters::ToLower(typed), entry);
    SaveUsedKeywords();
  }
  UpdateSuggestions();
  return true;
}

}  // namespace tavirel
