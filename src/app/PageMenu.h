#pragma once
// The option pages of the main dialog: which are shown as tabs, and what
// choosing a page in the "..." menu does to the tab control. The tabs always
// keep page order. What is shown is kept in "DisplayedTabs".
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavirel {

inline constexpr int kOptionPageCount = 6;
// Tab titles in page order ("Gõ tắt", "Chính tả", "Sửa lỗi", "Gợi ý từ",
// "#", "Hệ thống").
extern const std::array<const char16_t*, kOptionPageCount> kOptionPageTitles;

class CPageMenu {
 public:
  // From the saved "DisplayedTabs"; indexes outside the pages are ignored.
  explicit CPageMenu(const std::vector<int32_t>& displayed);

  bool IsChecked(int page) const;

  // What choosing a page in the menu does to the tab control.
  struct TabChange {
    bool Insert;  // true: insert the page's tab at Tab; false: remove tab Tab
    int Tab;
  };
  // Flips the page; -1 tab for a page index outside the menu.
  TabChange Choose(int page);

  // The pages shown as tabs, in tab order (= page order).
  std::vector<int> Tabs() const;
  // The value saved as "DisplayedTabs".
  std::vector<int32_t> DisplayedTabs() const;

 private:
  std::array<bool, kOptionPageCount> checked_{};
};

}  // namespace tavirel
