#include "service/win/CInvokerWnd.h"

#include <atomic>
#include <memory>
#include <utility>

namespace tavirel {

namespace {
const wchar_t kClassName[] = L"TavirelInvokerWnd";

ATOM RegisterInvokerClass() {
  static ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc);
  }();
  return atom;
}
}  // namespace

UINT CInvokerWnd::Message() {
  static std::atomic<UINT> message{0};
  UINT m = message.load(std::memory_order_acquire);
  if (m == 0) {
    m = RegisterWindowMessageW(L"MorskInvokeMethod");
    message.store(m, std::memory_order_release);
  }
  return m;
}

CInvokerWnd::~CInvokerWnd() { Destroy(); }

bool CInvokerWnd::Create() {
  if (hwnd_) return true;
  if (!RegisterInvokerClass() || Message() == 0) return false;
  hwnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  if (!hwnd_) return false;
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CInvokerWnd::WndProc));
  return true;
}

void CInvokerWnd::Destroy() {
  if (hwnd_) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
}

bool CInvokerWnd::Invoke(const InvokeRecord* record) const {
  if (!hwnd_ || !record || !record->fn) return false;
  return SendNotifyMessageW(hwnd_, Message(), reinterpret_cast<WPARAM>(record), 0) != FALSE;
}

bool CInvokerWnd::Post(std::function<void()> call) const {
  if (!hwnd_ || !call) return false;
  auto* owned = new std::function<void()>(std::move(call));
  // An owned call comes in lParam, with no record.
  if (PostMessageW(hwnd_, Message(), 0, reinterpret_cast<LPARAM>(owned))) return true;
  delete owned;
  return false;
}

LRESULT CALLBACK CInvokerWnd::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == Message() && msg != 0) {
    if (wp == 0 && lp != 0) {
      std::unique_ptr<std::function<void()>> owned(reinterpret_cast<std::function<void()>*>(lp));
      try {
        (*owned)();
      } catch (...) {
      }
      return 1;
    }
    const auto* record = reinterpret_cast<const InvokeRecord*>(wp);
    if (record && record->fn) record->fn(record->arg);
    return 1;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace tavirel
