#pragma once
// The suggestion list without a screen: what the popup would show and select,
// for SimDesktop, the tests and tavirel-type. It follows the popup's rules:
// 12 visible rows (24 expanded), F-keys count from the top visible row, Up and
// Down move the selection and scroll it into view, Page Up and Page Down move
// by a page (to the first or last row when there are fewer than 25).
#include "service/ISuggestionWindow.h"

namespace tavirel {

class CSuggestionList : public ISuggestionWindow {
 public:
  void SetResults(int count) override;
  void ShowNearCaret() override { shown_ = true; }
  void ShowAtManualPosition() override { shown_ = true; }
  void HideSuggestions() override;
  bool IsShown() const override { return shown_; }
  int SelectedRow() const override { return selected_; }
  int TopIndex() const override { return top_; }
  void MoveSelection(int delta) override;
  void PageUp() override;
  void PageDown() override;
  void SetExpanded(bool expanded) override { expanded_ = expanded; }
  bool Expanded() const override { return expanded_; }
  void SetAlpha(int alpha) override { alpha_ = alpha < 40 ? 40 : alpha > 255 ? 255 : alpha; }
  int Alpha() const override { return alpha_; }
  void SetAllRows(bool all) override { allRows_ = all; }
  bool Contains(DesktopPoint) const override { return false; }

  int Count() const { return count_; }
  int VisibleRows() const { return (expanded_ ? 24 : 12) + (allRows_ ? 1 : 0); }

 private:
  void Select(int row);

  bool shown_ = false;
  bool expanded_ = false;
  bool allRows_ = false;
  int alpha_ = 255;
  int count_ = 0;
  int selected_ = -1;
  int top_ = 0;
};

}  // namespace tavirel
