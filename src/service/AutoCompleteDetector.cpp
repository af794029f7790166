#include "service/AutoCompleteDetector.h"

#include <algorithm>

namespace tavirel {

bool CAutoCompleteDetector::FocusChanged(WindowHandle window, const std::u16string& className) {
  window_ = window;
  className_ = className;
  // A reading still out belongs to the window that had the focus.
  ++serial_;
  readingOut_ = false;
  detected_ = window != 0 && std::any_of(known_.begin(), known_.end(), [&](const Known& k) {
                return k.Window == window && k.ClassName == className;
              });
  return detected_;
}

bool CAutoCompleteDetector::AfterTypedKey() {
  if (window_ == 0 || detected_ || readingOut_) return false;
  readingOut_ = true;
  return true;
}

bool CAutoCompleteDetector::OnReading(uint32_t serial, const FieldSelection& selection) {
  // The next typed key may ask again.
  readingOut_ = false;
  // Other input or another window came between: the selection may be the
  // user's, or another field's.
  if (serial != serial_) return false;
  if (detected_ || window_ == 0 || !IsSuggestedTail(selection)) return false;
  detected_ = true;
  auto same = [this](const Known& k) { return k.Window == window_; };
  known_.erase(std::remove_if(known_.begin(), known_.end(), same), known_.end());
  if (known_.size() == kRemembered) known_.erase(known_.begin());
  known_.push_back(Known{window_, className_});
  return true;
}

}  // namespace tavirel
