#include "app/TrayMenu.h"

#include "app/FormatKeyCombo.h"

namespace tavirel {

namespace {

TrayMenuItem Item(std::u16string text, uint16_t command, bool checked = false) {
  TrayMenuItem item;
  item.Text = std::move(text);
  item.Command = command;
  item.Checked = checked;
  return item;
}

TrayMenuItem Separator() { return TrayMenuItem{}; }

TrayMenuItem Popup(std::u16string text, std::vector<TrayMenuItem> items) {
  TrayMenuItem item;
  item.Text = std::move(text);
  item.Popup = std::move(items);
  return item;
}

std::vector<TrayMenuItem> NameList(const std::vector<std::u16string>& names, const std::u16string& current,
                                   uint16_t first) {
  std::vector<TrayMenuItem> items;
  bool checked = false;
  for (size_t i = 0; i < names.size() && i < traycmd::kMaxListItems; ++i) {
    const bool isCurrent = !checked && names[i] == current;
    checked = checked || isCurrent;
    items.push_back(Item(names[i], static_cast<uint16_t>(first + i), isCurrent));
  }
  return items;
}

}  // namespace

std::vector<TrayMenuItem> BuildTrayMenu(const TrayMenuState& s) {
  using namespace traycmd;
  std::vector<TrayMenuItem> menu;
  menu.push_back(Item(u"Chuyển mã nhanh Ctrl+Shift+F9", kQuickConversion));
  menu.push_back(Item(u"Chuyển mã ...", kConversionDialog));
  menu.push_back(Item(u"Phím tắt ...", kHotkeyEditor));
  menu.push_back(Item(u"Gõ tắt ...", kShorthandEditor));
  menu.push_back(Item(u"Quy tắc theo chương trình ...", kAppRules));
  menu.push_back(Separator());
  menu.push_back(Item(u"Gợi ý từ (Auto Complete)", kSuggestion, s.Suggestion));
  menu.push_back(Popup(u"Kiểu gõ", NameList(s.TypingMethods, s.TypingMethod, kFirstTypingMethod)));
  menu.push_back(Popup(u"Bảng mã", NameList(s.CodeTables, s.CodeTable, kFirstCodeTable)));
  menu.push_back(Popup(u"Các lựa chọn khác",
                       {Item(u"Gõ tắt", kGoTat, s.GoTat), Item(u"Gõ tắt phụ âm đầu", kGoTatPAD, s.GoTatPAD),
                        Item(u"Gõ tắt phụ âm cuối", kGoTatPAC, s.GoTatPAC), Separator(),
                        Item(u"Sửa lỗi chính tả Các từ đơn", kSuaLoiTuDon, s.SuaLoiTuDon),
                        Item(u"Sửa lỗi chính tả Các từ ghép", kSuaLoiTuGhep, s.SuaLoiTuGhep), Separator(),
                        Item(u"Dùng từ điển để kiểm tra chính tả", kDungTuDien, s.DungTuDien), Separator(),
                        Item(u"Luôn dùng Clipboard để gửi ký tự", kClipboard, s.Clipboard)}));
  menu.push_back(Item(u"Lưu các lựa chọn ngay", kSaveNow));
  menu.push_back(Separator());
  if (s.OfferRestartAsAdmin) menu.push_back(Item(u"Khởi động lại với quyền Admin", kRestartAsAdmin));
  menu.push_back(Item(u"Kiểm tra phiên bản mới", kCheckUpdate));
  TrayMenuItem main = Item(u"Hiện cửa sổ chính", kMainDialog);
  main.Default = true;
  menu.push_back(main);
  menu.push_back(Item(u"Thoát", kExit));
  return menu;
}

TrayChoice DecodeTrayCommand(uint16_t command, size_t typingMethods, size_t codeTables) {
  using namespace traycmd;
  TrayChoice choice;
  if (command >= kFirstTypingMethod && command < kFirstTypingMethod + kMaxListItems) {
    const size_t i = command - kFirstTypingMethod;
    if (i < typingMethods) choice = {TrayChoice::kTypingMethod, static_cast<int>(i), 0};
    return choice;
  }
  if (command >= kFirstCodeTable && command < kFirstCodeTable + kMaxListItems) {
    const size_t i = command - kFirstCodeTable;
    if (i < codeTables) choice = {TrayChoice::kCodeTable, static_cast<int>(i), 0};
    return choice;
  }
  if (command != 0) choice = {TrayChoice::kCommand, -1, command};
  return choice;
}

std::u16string TrayTooltip(bool on, KeyCombo phimChuyen, const std::u16string& typingMethod,
                           const std::u16string& codeTable, bool foregroundBlocked,
                           const std::u16string& appRule) {
  std::u16string text = on ? u"Bấm để dừng Tavirel (" : u"Bấm để bật Tavirel (";
  text += FormatKeyCombo(phimChuyen) + u")\n";
  text += typingMethod + u" · " + codeTable;
  if (!appRule.empty()) text += u"\n" + appRule;
  if (foregroundBlocked) text += u"\nKhông gõ được vào cửa sổ này (chương trình chạy quyền Admin)";
  if (text.size() > 127) text.resize(127);
  return text;
}

std::u16string ActionBalloonTitle(KeyCombo key) { return FormatKeyCombo(key); }

std::u16string AppRuleTooltipLine(const AppRule& rule) {
  std::u16string text = rule.Program + u":";
  const char16_t* sep = u" ";
  switch (rule.Vietnamese) {
    case AppVietnamese::On: text += u" luôn bật"; sep = u", "; break;
    case AppVietnamese::Off: text += u" luôn tắt"; sep = u", "; break;
    case AppVietnamese::Remember: text += u" nhớ bật/tắt"; sep = u", "; break;
    case AppVietnamese::Keep: break;
  }
  switch (rule.Delivery) {
    case AppDelivery::KeyPackets: text += sep; text += u"gửi bằng phím"; break;
    case AppDelivery::Clipboard: text += sep; text += u"gửi qua clipboard"; break;
    case AppDelivery::AutoComplete: text += sep; text += u"ô tự hoàn thành"; break;
    case AppDelivery::Default: break;
  }
  return text;
}

}  // namespace tavirel
