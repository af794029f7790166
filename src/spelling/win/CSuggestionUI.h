#pragma once
// The suggestion popup on Windows: a dialog from resource IDD_SUGGESTION_UI
// that lists the candidates beside the caret of the focused application
// without ever taking the focus or becoming the active window.
//
// It belongs to the hook thread: that thread creates it (the service makes
// it on first use) and its messages run in that thread's message loop, so
// the key pipeline calls it directly and nothing ever waits for the main
// thread. Clicking a candidate picks it through the service, on this thread.
#include <windows.h>

#include "app/win/DialogProc.h"
#include "service/ISuggestionWindow.h"
#include "spelling/SuggestionPlacement.h"

namespace tavirel {

class CInputMethodService;

class CSuggestionUI : public ISuggestionWindow, private CDialogBase {
 public:
  explicit CSuggestionUI(CInputMethodService& service);
  ~CSuggestionUI() override;
  CSuggestionUI(const CSuggestionUI&) = delete;
  CSuggestionUI& operator=(const CSuggestionUI&) = delete;

  void SetResults(int count) override;
  void ShowNearCaret() override;
  void ShowAtManualPosition() override;
  void HideSuggestions() override;
  bool IsShown() const override;
  int SelectedRow() const override;
  int TopIndex() const override;
  void MoveSelection(int delta) override;
  void PageUp() override;
  void PageDown() override;
  void SetExpanded(bool expanded) override;
  bool Expanded() const override { return expanded_; }
  void SetAlpha(int alpha) override;
  int Alpha() const override { return alpha_; }
  void SetAllRows(bool all) override;
  bool Contains(DesktopPoint point) const override;

  HWND Handle() const { return hwnd_; }

 private:
  // WM_INITDIALOG: Init, and no focus for anyone.
  INT_PTR OnInit() override;
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Init();
  void Layout();
  void FitHeight();
  void SelectTop();
  void EnsureManualPosition();
  void MoveTo(ScreenPoint p);
  void KeepInsideWorkArea();
  ScreenRect WindowRect() const;

  CInputMethodService& service_;
  HHOOK guard_ = nullptr;
  HWND keys_ = nullptr;
  HWND list_ = nullptr;
  HWND slider_ = nullptr;
  HWND button_ = nullptr;
  HWND label_ = nullptr;
  int count_ = 0;
  bool expanded_ = false;
  bool allRows_ = false;
  bool needsResize_ = true;
  int alpha_ = 255;
  bool haveManual_ = false;
  ScreenPoint manual_;
  bool fallbackUsed_ = false;
  ScreenRect lastCaret_;
  bool dragging_ = false;
  POINT dragCursor_{};
  ScreenPoint dragCorner_;
  // Distances kept by Layout (client pixels).
  int listRight_ = 0, bottomBar_ = 0, buttonW_ = 0, labelW_ = 0, sliderW_ = 0, barH_ = 0;
};

}  // namespace tavirel
