#pragma once
// The conversion dialog: code tables, case and mark options, clipboard or
// file, detection of the clipboard's table. Its decisions are
// CChuyenMaDlgModel's; this moves values between the controls and the model,
// runs file conversions on a worker thread that posts its progress, and
// reports every outcome as a balloon of the tray icon.
#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "app/ChuyenMaDlgModel.h"
#include "app/win/DialogProc.h"

namespace tavirel {

class CChuyenMaDlg : public CDialogBase {
 public:
  using BalloonFn = std::function<void(const ConversionBalloon&)>;

  // Edits options (the process-wide record) on convert and detect only.
  CChuyenMaDlg(HINSTANCE instance, ConversionOptions& options, BalloonFn balloon);
  ~CChuyenMaDlg();

  // Shows the dialog modally; returns once it is closed.
  void Run(HWND owner);

 private:
  static constexpr UINT kProgress = WM_APP + 20;  // wParam: percent
  static constexpr UINT kFileDone = WM_APP + 21;  // lParam: new'd FileJob, taken over

  struct FileJob {
    FileConversionResult Result;
    std::u16string Source;  // after detection
  };

  INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  INT_PTR OnInit() override;
  void ShowSelections();
  void ShowCaseBoxes();
  void EnableFileControls();
  void ReadControls();
  void OnCommand(int id);
  void Convert();
  void StartFileConversion();
  void OnFileDone(FileJob* job);
  void Detect();
  void Browse(int edit);
  void Close();
  void StopWorker();
  bool Checked(int id) const;
  void Check(int id, bool on);

  HINSTANCE instance_;
  ConversionOptions& options_;
  BalloonFn balloon_;
  CChuyenMaDlgModel model_;
  std::thread worker_;
  std::atomic<bool> stop_{false};
};

}  // namespace tavirel
