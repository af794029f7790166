#include "app/PageMenu.h"

namespace tavirel {

const std::array<const char16_t*, kOptionPageCount> kOptionPageTitles = {
    u"Gõ tắt", u"Chính tả", u"Sửa lỗi", u"Gợi ý từ", u"#", u"Hệ thống"};

CPageMenu::CPageMenu(const std::vector<int32_t>& displayed) {
  for (int32_t page : displayed) {
    if (page >= 0 && page < kOptionPageCount) checked_[static_cast<size_t>(page)] = true;
  }
}

bool CPageMenu::IsChecked(int page) const {
  return page >= 0 && page < kOptionPageCount && checked_[static_cast<size_t>(page)];
}

CPageMenu::TabChange CPageMenu::Choose(int page) {
  if (page < 0 || page >= kOptionPageCount) return {false, -1};
  // Checked items up to and including the chosen one.
  int n = 0;
  for (int i = 0; i <= page; ++i) n += checked_[static_cast<size_t>(i)] ? 1 : 0;
  bool& on = checked_[static_cast<size_t>(page)];
  on = !on;
  return on ? TabChange{true, n} : TabChange{false, n - 1};
}

std::vector<int> CPageMenu::Tabs() const {
  std::vector<int> tabs;
  for (int i = 0; i < kOptionPageCount; ++i) {
    if (checked_[static_cast<size_t>(i)]) tabs.push_back(i);
  }
  return tabs;
}

std::vector<int32_t> CPageMenu::DisplayedTabs() const {
  const std::vector<int> tabs = Tabs();
  return std::vector<int32_t>(tabs.begin(), tabs.end());
}

}  // namespace tavirel
