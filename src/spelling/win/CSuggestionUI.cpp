#include "spelling/win/CSuggestionUI.h"

#include <commctrl.h>

#include <string>

#include "app/win/SuggestionUIIds.h"
#include "service/CInputMethodService.h"

namespace tavirel {

namespace {

ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

ScreenRect WorkAreaNear(const RECT& r) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi);
  return ToScreenRect(mi.rcWork);
}

UINT MonitorDpi(HMONITOR monitor) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const HMODULE shcore = LoadLibraryW(L"shcore.dll");
  static const auto getDpi = shcore == nullptr ? nullptr
                                               : reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(
                                                     GetProcAddress(shcore, "GetDpiForMonitor")));
  UINT x = 0, y = 0;
  if (getDpi == nullptr || getDpi(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y) != S_OK) return 0;
  return y;
}

// The caret in our screen pixels. The system gives us the window's client
// origin in them already; the caret's offset inside the client area is in the
// pixels the window is drawn for (those of 96 DPI when it knows nothing of
// DPI), scaled to its monitor's here.
ScreenRect CaretOnScreen(HWND window, const RECT& caret) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const UINT monitorDpi = MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
  return CaretToScreen(ToScreenRect(caret), {origin.x, origin.y}, static_cast<int32_t>(GetDpiForWindow(window)),
                       static_cast<int32_t>(monitorDpi));
}

// The popup of this thread, for the guard below.
thread_local HWND t_popup = nullptr;

// The list, the button and the slider take the focus when clicked, and
// taking the focus activates the popup: the program the user types in would
// lose keys to it. On this thread nothing in the popup is activated or
// focused, whoever asks.
LRESULT CALLBACK GuardFocus(int code, WPARAM wParam, LPARAM lParam) {
  if ((code == HCBT_ACTIVATE || code == HCBT_SETFOCUS) && t_popup != nullptr) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (window == t_popup || IsChild(t_popup, window)) return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

CSuggestionUI::CSuggestionUI(CInputMethodService& service) : service_(service) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  guard_ = SetWindowsHookExW(WH_CBT, GuardFocus, nullptr, GetCurrentThreadId());
  CreateModeless(GetModuleHandleW(nullptr), IDD_SUGGESTION_UI, nullptr);
  t_popup = hwnd_;
}

CSuggestionUI::~CSuggestionUI() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (guard_ != nullptr) UnhookWindowsHookEx(guard_);
}

INT_PTR CSuggestionUI::OnInit() {
  Init();
  return FALSE;  // no focus for anyone
}

void CSuggestionUI::Init() {
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE,
                    GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  keys_ = GetDlgItem(hwnd_, IDC_SUGGESTION_KEYS);
  list_ = GetDlgItem(hwnd_, IDC_SUGGESTION_LIST);
  slider_ = GetDlgItem(hwnd_, IDC_SUGGESTION_ALPHA);
  button_ = GetDlgItem(hwnd_, IDC_SUGGESTION_ROWS);
  label_ = GetDlgItem(hwnd_, IDC_SUGGESTION_COUNT);
  RECT client{};
  GetClientRect(hwnd_, &client);
  RECT r{};
  GetWindowRect(list_, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  listRight_ = client.right - r.right;
  bottomBar_ = client.bottom - r.bottom;
  GetWindowRect(button_, &r);
  buttonW_ = r.right - r.left;
  barH_ = r.bottom - r.top;
  GetWindowRect(label_, &r);
  labelW_ = r.right - r.left;
  GetWindowRect(slider_, &r);
  sliderW_ = r.right - r.left;

  SendMessageW(slider_, TBM_SETRANGE, TRUE, MAKELPARAM(40, 255));
  SendMessageW(slider_, TBM_SETPOS, TRUE, 255);
  const int dpi = static_cast<int>(GetDpiForWindow(hwnd_));
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = MulDiv(80, dpi, 96);
  ListView_SetExtendedListViewStyle(keys_, LVS_EX_FULLROWSELECT);
  ListView_InsertColumn(keys_, 0, &column);
  for (int i = 0; i < 24; ++i) {
    std::wstring text = (i < 12 ? L"F" : L"S+F") + std::to_wstring(i % 12 + 1);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = text.data();
    ListView_InsertItem(keys_, &item);
  }
  column.cx = MulDiv(140, dpi, 96);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT | LVS_EX_UNDERLINEHOT |
                                               LVS_EX_ONECLICKACTIVATE);
  ListView_InsertColumn(list_, 0, &column);
}

void CSuggestionUI::Layout() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  RECT k{};
  GetWindowRect(keys_, &k);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&k), 2);
  const int bottom = client.bottom - bottomBar_;
  SetWindowPos(keys_, nullptr, k.left, k.top, k.right - k.left, bottom - k.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(list_, nullptr, k.right, k.top, client.right - listRight_ - k.right, bottom - k.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(slider_, nullptr, 0, client.bottom - barH_, sliderW_, barH_, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(button_, nullptr, sliderW_ + (client.right - sliderW_ - buttonW_ - labelW_) / 2,
               client.bottom - barH_, buttonW_, barH_, SWP_NOZORDER | SWP_NOACTIVATE);
  // The count keeps a little space from the right edge.
  SetWindowPos(label_, nullptr, client.right - labelW_ - barH_ / 4, client.bottom - barH_, labelW_, barH_,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void CSuggestionUI::FitHeight() {
  int rows = 25;
  if (!allRows_) --rows;
  if (!expanded_) rows -= 12;
  const DWORD spacing = static_cast<DWORD>(ListView_GetItemSpacing(list_, TRUE));
  int rowH = HIWORD(spacing);
  RECT item{};
  if (ListView_GetItemRect(keys_, 0, &item, LVIR_BOUNDS)) rowH = item.bottom - item.top;
  // The lists get exactly the rows shown, no part of a next one; the bar
  // below keeps its height.
  RECT want{0, 0, 0, rows * rowH + bottomBar_};
  AdjustWindowRectEx(&want, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  RECT now{};
  GetWindowRect(hwnd_, &now);
  SetWindowPos(hwnd_, nullptr, 0, 0, now.right - now.left, want.bottom - want.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  needsResize_ = false;
  // Grown where it shows, it may now reach past the work area or over the caret.
  KeepInsideWorkArea();
}

void CSuggestionUI::KeepInsideWorkArea() {
  if (!IsShown()) return;
  const ScreenRect w = WindowRect();
  const bool atManual = haveManual_ && ScreenPoint{w.Left, w.Top} == manual_;
  const ScreenRect& around = atManual || fallbackUsed_ ? w : lastCaret_;
  const ScreenRect work = WorkAreaNear(RECT{around.Left, around.Top, around.Right, around.Bottom});
  const ScreenPoint p = PlaceAfterChange(w, work, lastCaret_, atManual || fallbackUsed_);
  if (p == ScreenPoint{w.Left, w.Top}) return;
  MoveTo(p);
  if (atManual) manual_ = p;
}

ScreenRect CSuggestionUI::WindowRect() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return ToScreenRect(r);
}

void CSuggestionUI::MoveTo(ScreenPoint p) {
  SetWindowPos(hwnd_, HWND_TOPMOST, p.X, p.Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void CSuggestionUI::SelectTop() {
  const int top = ListView_GetTopIndex(list_);
  if (count_ > 0) ListView_SetItemState(list_, top, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CSuggestionUI::SetResults(int count) {
  count_ = count < 0 ? 0 : count;
  ListView_SetItemCountEx(list_, count_, LVSICF_NOSCROLL);
  SetWindowTextW(label_, std::to_wstring(count_).c_str());
  if (needsResize_) FitHeight();
  if (count_ > 0) ListView_EnsureVisible(list_, 0, FALSE);
  SelectTop();
  InvalidateRect(list_, nullptr, FALSE);
}

void CSuggestionUI::EnsureManualPosition() {
  if (haveManual_) return;
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  RECT around{};
  HWND foreground = GetForegroundWindow();
  if (GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &gui) && gui.hwndFocus != nullptr) {
    GetWindowRect(gui.hwndFocus, &around);
  } else {
    GetWindowRect(hwnd_, &around);
  }
  const ScreenRect w = WindowRect();
  manual_ = DefaultManualPosition(WorkAreaNear(around), w.Width(), w.Height());
  haveManual_ = true;
}

void CSuggestionUI::ShowNearCaret() {
  const ScreenRect w = WindowRect();
  const bool visible = IsShown();
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  HWND foreground = GetForegroundWindow();
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &gui) || gui.hwndCaret == nullptr) {
    // No caret: the manual position once, then stay put.
    if (!fallbackUsed_) {
      fallbackUsed_ = true;
      EnsureManualPosition();
      MoveTo(manual_);
    }
  } else {
    const ScreenRect c = CaretOnScreen(gui.hwndCaret, gui.rcCaret);
    if (fallbackUsed_) {
      fallbackUsed_ = false;
      manual_ = {w.Left, w.Top};
      haveManual_ = true;
    }
    MoveTo(PlaceNearCaret(c, WorkAreaNear(RECT{c.Left, c.Top, c.Right, c.Bottom}), w, visible, lastCaret_));
    lastCaret_ = c;
  }
  ShowWindow(hwnd_, SW_SHOWNA);
  InvalidateRect(list_, nullptr, FALSE);
}

void CSuggestionUI::ShowAtManualPosition() {
  EnsureManualPosition();
  MoveTo(manual_);
  ShowWindow(hwnd_, SW_SHOWNA);
  InvalidateRect(list_, nullptr, FALSE);
}

void CSuggestionUI::HideSuggestions() {
  if (!IsShown()) return;
  ShowWindow(hwnd_, SW_HIDE);
  ListView_SetItemCountEx(list_, 0, 0);
  count_ = 0;
}

bool CSuggestionUI::IsShown() const { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }

int CSuggestionUI::SelectedRow() const { return ListView_GetNextItem(list_, -1, LVNI_SELECTED); }

int CSuggestionUI::TopIndex() const { return ListView_GetTopIndex(list_); }

void CSuggestionUI::MoveSelection(int delta) {
  if (count_ == 0) return;
  int row = SelectedRow() + delta;
  row = row < 0 ? 0 : row >= count_ ? count_ - 1 : row;
  ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list_, row, FALSE);
}

void CSuggestionUI::PageUp() {
  if (count_ >= 25) {
    const int page = ListView_GetCountPerPage(list_);
    const int top = TopIndex() - page < 0 ? 0 : TopIndex() - page;
    ListView_EnsureVisible(list_, top, FALSE);
    ListView_Scroll(list_, 0, 0);
  } else if (count_ > 0) {
    ListView_EnsureVisible(list_, 0, FALSE);
  }
  SelectTop();
}

void CSuggestionUI::PageDown() {
  if (count_ >= 25) {
    const int page = ListView_GetCountPerPage(list_);
    const int last = TopIndex() + 2 * page - 1 >= count_ ? count_ - 1 : TopIndex() + 2 * page - 1;
    ListView_EnsureVisible(list_, last, FALSE);
  } else if (count_ > 0) {
    ListView_EnsureVisible(list_, count_ - 1, FALSE);
  }
  SelectTop();
}

void CSuggestionUI::SetExpanded(bool expanded) {
  if (expanded == expanded_) return;
  expanded_ = expanded;
  if (IsShown()) {
    FitHeight();
    const ScreenRect w = WindowRect();
    if (!haveManual_ || !(ScreenPoint{w.Left, w.Top} == manual_)) {
      ShowNearCaret();
    } else if (expanded) {
      const ScreenRect work = WorkAreaNear(RECT{w.Left, w.Top, w.Right, w.Bottom});
      if (w.Bottom > work.Bottom) {
        manual_.Y = work.Bottom - w.Height();
        MoveTo(manual_);
      }
    }
  } else {
    // Fitted at the next showing.
    needsResize_ = true;
  }
  SetWindowTextW(button_, expanded ? L"12" : L"24");
}

void CSuggestionUI::SetAllRows(bool all) {
  if (all == allRows_) return;
  allRows_ = all;
  if (IsShown()) {
    FitHeight();
  } else {
    needsResize_ = true;
  }
}

void CSuggestionUI::SetAlpha(int alpha) {
  alpha_ = alpha < 40 ? 40 : alpha > 255 ? 255 : alpha;
  LONG_PTR ex = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  ex = alpha_ != 255 ? (ex | WS_EX_LAYERED) : (ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex);
  if (alpha_ != 255) SetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(alpha_), LWA_ALPHA);
  if (SendMessageW(slider_, TBM_GETPOS, 0, 0) != alpha_) SendMessageW(slider_, TBM_SETPOS, TRUE, alpha_);
}

bool CSuggestionUI::Contains(DesktopPoint point) const {
  if (!IsShown()) return false;
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
}

INT_PTR CSuggestionUI::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, MA_NOACTIVATE);
      return TRUE;
    case WM_SIZE:
      Layout();
      return TRUE;
    case WM_SETTINGCHANGE:
      // The taskbar moved or changed its size: the work area is another.
      if (wParam == SPI_SETWORKAREA) KeepInsideWorkArea();
      return FALSE;
    case WM_DISPLAYCHANGE:
      KeepInsideWorkArea();
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SUGGESTION_ROWS && HIWORD(wParam) == BN_CLICKED) {
        SetExpanded(!expanded_);
        service_.KeepSuggestionLook();
      }
      return TRUE;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == slider_) {
        SetAlpha(static_cast<int>(SendMessageW(slider_, TBM_GETPOS, 0, 0)));
        service_.KeepSuggestionLook();
      }
      return TRUE;
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (hdr->hwndFrom != list_) return FALSE;
      if (hdr->code == LVN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if ((info->item.mask & LVIF_TEXT) != 0 && info->item.iSubItem == 0 && info->item.cchTextMax > 0 &&
            info->item.iItem >= 0 && info->item.iItem < count_) {
          const std::u16string& text = service_.SuggestionText(info->item.iItem);
          const size_t n = text.size() < static_cast<size_t>(info->item.cchTextMax - 1)
                               ? text.size()
                               : static_cast<size_t>(info->item.cchTextMax - 1);
          for (size_t i = 0; i < n; ++i) info->item.pszText[i] = static_cast<wchar_t>(text[i]);
          info->item.pszText[n] = L'\0';
        }
        return TRUE;
      }
      if (hdr->code == NM_CLICK || hdr->code == NM_DBLCLK || hdr->code == LVN_ITEMACTIVATE) {
        const auto* item = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        // A click picks, once (one-click activation sends both).
        if (hdr->code != NM_CLICK && item->iItem >= 0) service_.PickSuggestion(item->iItem);
        return TRUE;
      }
      return FALSE;
    }
    case WM_LBUTTONDOWN: {
      GetCursorPos(&dragCursor_);
      const ScreenRect w = WindowRect();
      dragCorner_ = {w.Left, w.Top};
      dragging_ = true;
      SetCapture(hwnd_);
      return TRUE;
    }
    case WM_MOUSEMOVE:
      if (dragging_ && (wParam & MK_LBUTTON) != 0) {
        POINT now{};
        GetCursorPos(&now);
        SetWindowPos(hwnd_, nullptr, dragCorner_.X + now.x - dragCursor_.x, dragCorner_.Y + now.y - dragCursor_.y, 0,
                     0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOZORDER);
      }
      return TRUE;
    case WM_LBUTTONUP:
      if (dragging_) {
        dragging_ = false;
        ReleaseCapture();
        const ScreenRect w = WindowRect();
        manual_ = {w.Left, w.Top};
        haveManual_ = true;
      }
      return TRUE;
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if ((pos->flags & SWP_NOMOVE) != 0 && (pos->flags & SWP_NOSIZE) != 0) return FALSE;
      const ScreenRect w = WindowRect();
      const int width = (pos->flags & SWP_NOSIZE) != 0 ? w.Width() : pos->cx;
      const int height = (pos->flags & SWP_NOSIZE) != 0 ? w.Height() : pos->cy;
      const ScreenPoint at = (pos->flags & SWP_NOMOVE) != 0 ? ScreenPoint{w.Left, w.Top} : ScreenPoint{pos->x, pos->y};
      const ScreenRect work = WorkAreaNear(RECT{at.X, at.Y, at.X + width, at.Y + height});
      const ScreenPoint snapped = SnapToWorkArea(at, width, height, work);
      if ((pos->flags & SWP_NOMOVE) == 0) {
        pos->x = snapped.X;
        pos->y = snapped.Y;
      }
      return FALSE;
    }
    case WM_NCDESTROY:
      if (t_popup == hwnd_) t_popup = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace tavirel
