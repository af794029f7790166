#pragma once
// The suggestion list as the input service drives it: the popup beside the
// caret on Windows (CSuggestionUI), an in-memory list for the tests and
// tools (CSuggestionList). It lives on the key-processing thread and is only
// called from there; the row texts and a pick go back to the service.
#include "service/IDesktop.h"

namespace tavirel {

class ISuggestionWindow {
 public:
  virtual ~ISuggestionWindow() = default;

  // Shows rows 0..count-1 from now on (their texts come from the service),
  // scrolls to the top and selects the top row.
  virtual void SetResults(int count) = 0;
  virtual void ShowNearCaret() = 0;
  virtual void ShowAtManualPosition() = 0;
  // Hides the list and forgets its rows.
  virtual void HideSuggestions() = 0;
  virtual bool IsShown() const = 0;
  // The selected row, or -1.
  virtual int SelectedRow() const = 0;
  // The first visible row: F1 picks it, F2 the next, Shift+F1 the 13th.
  virtual int TopIndex() const = 0;
  // Up (-1) and Down (+1) in the list.
  virtual void MoveSelection(int delta) = 0;
  virtual void PageUp() = 0;
  virtual void PageDown() = 0;
  // 24 visible rows instead of 12.
  virtual void SetExpanded(bool expanded) = 0;
  virtual bool Expanded() const = 0;
  // 40..255 (opaque).
  virtual void SetAlpha(int alpha) = 0;
  virtual int Alpha() const = 0;
  // One more row when every candidate is listed (no limit).
  virtual void SetAllRows(bool all) = 0;
  // Whether a screen point lies on the shown list (a click there keeps the word).
  virtual bool Contains(DesktopPoint point) const = 0;
};

}  // namespace tavirel
