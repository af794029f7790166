// The six built-in hotkey actions of the service.
#include <stdexcept>

#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"

namespace tavirel {

bool CInputMethodService::CClearHotKeyAction::Execute() {
  Service->Reset();
  return false;
}

bool CInputMethodService::CKhoiPhucHotKeyAction::Execute() {
  CInputMethodService& s = *Service;
  if (!s.Context().Active) return false;
  // The restored text must not arrive with Ctrl or Alt still down.
  s.ReleaseModifierKeys();
  try {
    s.Context().RestoreLastWord();
  } catch (const std::exception& e) {
    s.RaiseError(e);
    s.Reset();
  } catch (...) {
    s.RaiseError(std::runtime_error("unknown error while restoring a word"));
    s.Reset();
  }
  s.UpdateSuggestions();
  return true;
}

bool CInputMethodService::CSuggestionHotKeyAction::Execute() {
  CInputMethodService& s = *Service;
  if (!s.SuggestionsOn() || !s.SuggestionWindowVisible()) return false;
  s.PickSuggestion(s.SuggestionWindow()->SelectedRow());
  return true;
}

bool CInputMethodService::CCloseSuggestionHotKeyAction::Execute() {
  CInputMethodService& s = *Service;
  if (!s.SuggestionsOn() || !s.SuggestionWindowVisible()) return false;
  s.SuggestionWindow()->HideSuggestions();
  return true;
}

bool CInputMethodService::CChuyenHotKeyAction::Execute() {
  Service->SetVietnamese(!Service->IsVietnamese());
  return true;
}

bool CInputMethodService::CChuyenMaHotKeyAction::Execute() {
  Service->CodeConversionRequested.Raise(Service);
  return true;
}

}  // namespace tavirel
