#include "app/win/CChuyenMaDlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <memory>
#include <vector>

#include "app/win/ChuyenMaDlgIds.h"
#include "app/win/ClipboardConversion.h"
#include "convert/ConvertText.h"
#include "tables/CBangMa.h"

namespace tavirel {
namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string ControlText(HWND dlg, int id) {
  HWND control = GetDlgItem(dlg, id);
  const int n = GetWindowTextLengthW(control);
  std::vector<wchar_t> buf(static_cast<size_t>(n) + 1, 0);
  GetWindowTextW(control, buf.data(), n + 1);
  return std::u16string(reinterpret_cast<const char16_t*>(buf.data()));
}

constexpr int kFileControls[] = {IDC_CM_FILE_NGUON, IDC_CM_BROWSE_NGUON, IDC_CM_FILE_DICH, IDC_CM_BROWSE_DICH};

}  // namespace

CChuyenMaDlg::CChuyenMaDlg(HINSTANCE instance, ConversionOptions& options, BalloonFn balloon)
    : instance_(instance), options_(options), balloon_(std::move(balloon)), model_(options, GetCodeTableNames()) {}

CChuyenMaDlg::~CChuyenMaDlg() { StopWorker(); }

void CChuyenMaDlg::Run(HWND owner) {
  RunModal(instance_, IDD_CHUYENMA, owner);
}

INT_PTR CChuyenMaDlg::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED || HIWORD(wp) == 0) OnCommand(LOWORD(wp));
      return TRUE;
    case kProgress:
      SendDlgItemMessageW(hwnd_, IDC_CM_PROGRESS, PBM_SETPOS, wp, 0);
      return TRUE;
    case kFileDone:
      OnFileDone(reinterpret_cast<FileJob*>(lp));
      return TRUE;
    case WM_CLOSE:
      Close();
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CChuyenMaDlg::OnInit() {
  for (HWND list : {GetDlgItem(hwnd_, IDC_CM_NGUON), GetDlgItem(hwnd_, IDC_CM_DICH)}) {
    for (const std::u16string& name : model_.Tables) SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(name)));
  }
  ShowSelections();
  HWND spin = GetDlgItem(hwnd_, IDC_CM_THRESHOLD_SPIN);
  SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, IDC_CM_THRESHOLD)), 0);
  SendMessageW(spin, UDM_SETRANGE32, CChuyenMaDlgModel::kMinPercent, CChuyenMaDlgModel::kMaxPercent);
  SendMessageW(spin, UDM_SETPOS32, 0, model_.ThresholdPercent);
  Check(IDC_CM_AUTODETECT, model_.AutoDetect);
  ShowCaseBoxes();
  Check(IDC_CM_NOMARKS, model_.RemoveMarks);
  Check(IDC_CM_PREFERUPPER, model_.PreferUpper);
  Check(IDC_CM_DROPHTML, model_.DropHtml);
  Check(IDC_CM_CLIPBOARD, model_.Clipboard);
  SetDlgItemTextW(hwnd_, IDC_CM_FILE_NGUON, W(model_.SourceFile));
  SetDlgItemTextW(hwnd_, IDC_CM_FILE_DICH, W(model_.TargetFile));
  EnableFileControls();
  SendDlgItemMessageW(hwnd_, IDC_CM_PROGRESS, PBM_SETRANGE32, 0, 100);
  return TRUE;
}

void CChuyenMaDlg::ShowSelections() {
  SendDlgItemMessageW(hwnd_, IDC_CM_NGUON, CB_SETCURSEL, static_cast<WPARAM>(model_.Source), 0);
  SendDlgItemMessageW(hwnd_, IDC_CM_DICH, CB_SETCURSEL, static_cast<WPARAM>(model_.Target), 0);
}

void CChuyenMaDlg::ShowCaseBoxes() {
  Check(IDC_CM_LOWER, model_.Lower);
  Check(IDC_CM_UPPER, model_.Upper);
}

void CChuyenMaDlg::EnableFileControls() {
  for (const int id : kFileControls) EnableWindow(GetDlgItem(hwnd_, id), model_.FileControlsEnabled());
}

bool CChuyenMaDlg::Checked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }
void CChuyenMaDlg::Check(int id, bool on) { CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED); }

void CChuyenMaDlg::ReadControls() {
  const auto selected = [&](int id) {
    const LRESULT i = SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0);
    return i == CB_ERR ? 0 : static_cast<int>(i);
  };
  model_.Source = selected(IDC_CM_NGUON);
  model_.Target = selected(IDC_CM_DICH);
  model_.AutoDetect = Checked(IDC_CM_AUTODETECT);
  BOOL failed = FALSE;
  const LRESULT pos = SendDlgItemMessageW(hwnd_, IDC_CM_THRESHOLD_SPIN, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
  // Text outside the range reads as the nearest end of it.
  model_.SetThresholdPercent(failed ? static_cast<int>(GetDlgItemInt(hwnd_, IDC_CM_THRESHOLD, nullptr, FALSE))
                                    : static_cast<int>(pos));
  SendDlgItemMessageW(hwnd_, IDC_CM_THRESHOLD_SPIN, UDM_SETPOS32, 0, model_.ThresholdPercent);
  model_.Lower = Checked(IDC_CM_LOWER);
  model_.Upper = Checked(IDC_CM_UPPER);
  model_.RemoveMarks = Checked(IDC_CM_NOMARKS);
  model_.PreferUpper = Checked(IDC_CM_PREFERUPPER);
  model_.DropHtml = Checked(IDC_CM_DROPHTML);
  model_.Clipboard = Checked(IDC_CM_CLIPBOARD);
  model_.SourceFile = ControlText(hwnd_, IDC_CM_FILE_NGUON);
  model_.TargetFile = ControlText(hwnd_, IDC_CM_FILE_DICH);
}

void CChuyenMaDlg::OnCommand(int id) {
  switch (id) {
    case IDC_CM_DAO:
      ReadControls();
      model_.Swap();
      ShowSelections();
      break;
    case IDC_CM_LOWER:
      model_.SetLower(Checked(IDC_CM_LOWER));
      ShowCaseBoxes();
      break;
    case IDC_CM_UPPER:
      model_.SetUpper(Checked(IDC_CM_UPPER));
      ShowCaseBoxes();
      break;
    case IDC_CM_CLIPBOARD:
      model_.Clipboard = Checked(IDC_CM_CLIPBOARD);
      EnableFileControls();
      break;
    case IDC_CM_BROWSE_NGUON:
      Browse(IDC_CM_FILE_NGUON);
      break;
    case IDC_CM_BROWSE_DICH:
      Browse(IDC_CM_FILE_DICH);
      break;
    case IDC_CM_DETECT:
      Detect();
      break;
    case IDOK:
    case IDC_CM_CONVERT:
      Convert();
      break;
    case IDCANCEL:
      Close();
      break;
    default:
      break;
  }
}

void CChuyenMaDlg::Convert() {
  if (worker_.joinable()) return;  // a file conversion is still running
  ReadControls();
  model_.Store(options_);
  switch (CChuyenMaDlgModel::ConvertStep(options_)) {
    case CChuyenMaDlgModel::Step::ConvertClipboard:
      balloon_(ConvertClipboardFor(options_, hwnd_));
      model_.SelectDetected(options_.source);
      ShowSelections();
      return;
    case CChuyenMaDlgModel::Step::SourceMissing:
      balloon_(CChuyenMaDlgModel::SourceMissingBalloon(options_.sourceFile));
      return;
    case CChuyenMaDlgModel::Step::AskOverwrite: {
      const std::u16string question = CChuyenMaDlgModel::OverwriteQuestion(options_.targetFile);
      if (MessageBoxW(hwnd_, W(question), L"Chuyển mã", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
      StartFileConversion();
      return;
    }
    case CChuyenMaDlgModel::Step::ConvertFile:
      StartFileConversion();
      return;
  }
}

void CChuyenMaDlg::StartFileConversion() {
  if (options_.autoDetect) LoadDetectionDictionary();
  stop_ = false;
  EnableWindow(GetDlgItem(hwnd_, IDC_CM_CONVERT), FALSE);
  SendDlgItemMessageW(hwnd_, IDC_CM_PROGRESS, PBM_SETPOS, 0, 0);
  ShowWindow(GetDlgItem(hwnd_, IDC_CM_PROGRESS), SW_SHOW);
  // The worker has its own copy of the options; what it detects comes back
  // with its result.
  worker_ = std::thread([this, options = options_, hwnd = hwnd_]() mutable {
    int shown = -1;
    auto job = std::make_unique<FileJob>();
    job->Result = ConvertFile(options, options.sourceFile, options.targetFile, [&](size_t done, size_t total) {
      const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
      if (percent != shown) {
        shown = percent;
        PostMessageW(hwnd, kProgress, static_cast<WPARAM>(percent), 0);
      }
      return !stop_.load();
    });
    job->Source = options.source;
    if (PostMessageW(hwnd, kFileDone, 0, reinterpret_cast<LPARAM>(job.get()))) job.release();
  });
}

void CChuyenMaDlg::OnFileDone(FileJob* raw) {
  std::unique_ptr<FileJob> job(raw);
  if (worker_.joinable()) worker_.join();
  ShowWindow(GetDlgItem(hwnd_, IDC_CM_PROGRESS), SW_HIDE);
  EnableWindow(GetDlgItem(hwnd_, IDC_CM_CONVERT), TRUE);
  if (!job) return;
  options_.source = job->Source;
  model_.SelectDetected(options_.source);
  ShowSelections();
  balloon_(CChuyenMaDlgModel::FileBalloon(options_, job->Result));
}

void CChuyenMaDlg::Detect() {
  const std::u16string text = ClipboardText(hwnd_);
  if (text.empty()) return;
  ReadControls();
  options_.threshold = model_.ThresholdPercent / 100.0;
  LoadDetectionDictionary();
  model_.SelectDetected(DetectSourceTable(options_, text, TextOrigin::AnsiClipboard));
  SendDlgItemMessageW(hwnd_, IDC_CM_NGUON, CB_SETCURSEL, static_cast<WPARAM>(model_.Source), 0);
  balloon_(CChuyenMaDlgModel::DetectedBalloon(ControlText(hwnd_, IDC_CM_NGUON)));
}

void CChuyenMaDlg::Browse(int edit) {
  std::vector<wchar_t> path(32768, 0);
  const std::u16string current = ControlText(hwnd_, edit);
  if (current.size() < path.size()) std::copy(current.begin(), current.end(), path.begin());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = L"*.txt\0*.txt\0*\0*\0";
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  if (GetOpenFileNameW(&ofn)) SetDlgItemTextW(hwnd_, edit, path.data());
}

void CChuyenMaDlg::StopWorker() {
  if (!worker_.joinable()) return;
  stop_ = true;
  worker_.join();
  // Its result, if it was posted, is no one's now.
  MSG msg;
  while (hwnd_ && PeekMessageW(&msg, hwnd_, kFileDone, kFileDone, PM_REMOVE)) {
    delete reinterpret_cast<FileJob*>(msg.lParam);
  }
}

void CChuyenMaDlg::Close() {
  // Closing stops a running file conversion; the target stays as it was.
  StopWorker();
  EndDialog(hwnd_, IDCANCEL);
}

}  // namespace tavirel
