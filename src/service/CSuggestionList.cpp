#include "service/CSuggestionList.h"

#include <algorithm>

namespace tavirel {

void CSuggestionList::SetResults(int count) {
  count_ = std::max(count, 0);
  top_ = 0;
  selected_ = count_ > 0 ? 0 : -1;
}

void CSuggestionList::HideSuggestions() {
  shown_ = false;
  count_ = 0;
  top_ = 0;
  selected_ = -1;
}

void CSuggestionList::Select(int row) {
  if (count_ == 0) return;
  selected_ = std::clamp(row, 0, count_ - 1);
  if (selected_ < top_) top_ = selected_;
  if (selected_ >= top_ + VisibleRows()) top_ = selected_ - VisibleRows() + 1;
}

void CSuggestionList::MoveSelection(int delta) { Select((selected_ < 0 ? 0 : selected_) + delta); }

void CSuggestionList::PageUp() {
  if (count_ >= 25) {
    top_ = std::max(0, top_ - VisibleRows());
    selected_ = top_;
    return;
  }
  top_ = 0;
  selected_ = count_ > 0 ? 0 : -1;
}

void CSuggestionList::PageDown() {
  if (count_ >= 25) {
    const int page = VisibleRows();
    top_ = std::min(top_ + page, std::max(0, count_ - page));
    selected_ = top_;
    return;
  }
  // Everything fits: the last row is in view and the top row selected.
  top_ = 0;
  selected_ = count_ > 0 ? 0 : -1;
}

}  // namespace tavirel
