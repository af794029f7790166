#include "app/win/CUpdater.h"

#include "app/win/CTavirelApp.h"
#include "app/win/CUpdateDownload.h"
#include "app/win/UpdateCrypto.h"
#include "app/win/UpdateKey.h"
#include "common/AppDirectory.h"
#include "UpdateLocation.h"

namespace tavirel {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

constexpr char16_t kFailTitle[] = u"Không cập nhật được Tavirel";
constexpr DWORD kUnpackWaitMs = 5 * 60 * 1000;
constexpr size_t kMaxSignature = kMaxSignatureFileSize;

std::u16string Str(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }

// A new folder of the user's temporary folder with an unpredictable name.
std::u16string MakePrivateFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return {};
  for (int attempt = 0; attempt < 8; ++attempt) {
    unsigned char random[12];
    if (!RandomBytes(random, sizeof random)) return {};
    std::u16string name = Str(temp) + u"Tavirel-";
    for (unsigned char b : random) {
      name += u"0123456789abcdef"[b >> 4];
      name += u"0123456789abcdef"[b & 15];
    }
    if (CreateDirectoryW(W(name), nullptr)) return name;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

std::u16string CUpdater::Location() {
  wchar_t env[1100] = {};
  const DWORD n = GetEnvironmentVariableW(L"TAVIREL_UPDATE_LOCATION", env, 1100);
  if (n > 0 && n < 1100) {
    // Only a loopback address: the environment cannot send this program to
    // another server.
    const std::u16string test = Str(env);
    if (test.rfind(u"http://", 0) == 0 && IsAcceptableUpdateLocation(test)) return test;
    return {};
  }
  const std::u16string built = TAVIREL_UPDATE_LOCATION;
  return built.rfind(u"https://", 0) == 0 && IsAcceptableUpdateLocation(built) ? built : std::u16string();
}

CUpdater::CUpdater(HWND owner, UINT message, ShowBalloon balloon)
    : owner_(owner), message_(message), balloon_(std::move(balloon)) {}

CUpdater::~CUpdater() {
  download_.reset();
  RemoveFolder();
}

void CUpdater::Fail(const std::u16string& text) {
  download_.reset();
  RemoveFolder();
  stage_ = kIdle;
  balloon_(text, kFailTitle, CSystemTray::kError);
}

void CUpdater::RemoveFolder() {
  if (folder_.empty()) return;
  // Only what this program put there.
  DeleteFileW(W(package_));
  DeleteFileW(W(folder_ + u"\\" + kUpdatePackageFile));
  RemoveDirectoryW(W(folder_));
  folder_.clear();
  package_.clear();
}

void CUpdater::Check() {
  if (stage_ != kIdle) return;
  const std::u16string location = Location();
  if (location.empty() || !ReleasePublicKey()) {
    balloon_(u"Bản Tavirel này không có địa chỉ cập nhật hoặc khóa kiểm tra chữ ký.", kFailTitle,
             CSystemTray::kWarning);
    return;
  }
  const std::u16string url = UpdateFileUrl(location, kUpdateVersionFile);
  std::vector<CUpdateDownload::File> files{{url, kMaxVersionFileSize, {}, false},
                                           {url + kSignatureSuffix, kMaxSignature, {}, false}};
  stage_ = kChecking;
  download_ = std::make_unique<CUpdateDownload>(owner_, message_, std::move(files));
}

void CUpdater::OnMessage(WPARAM wp, LPARAM lp) {
  if (wp == CUpdateDownload::kProgress) {
    auto p = CUpdateDownload::TakeProgress(lp);
    if (stage_ != kDownloading) return;
    if (auto text = progress_.Report(p->Received, p->Total)) balloon_(*text, kDownloadProgressTitle, CSystemTray::kNone);
    return;
  }
  if (wp != CUpdateDownload::kDone) return;
  auto r = CUpdateDownload::TakeResult(lp);
  download_.reset();  // the worker has ended
  if (stage_ == kChecking) {
    OnChecked(r->Ok, r->Error, r->Ok ? r->Files[0].Bytes : std::string(), r->Ok ? r->Files[1].Bytes : std::string());
  } else if (stage_ == kDownloading) {
    OnDownloaded(r->Ok, r->Error, r->Ok ? r->Files[0].Digest : Sha256Digest{}, r->Ok ? r->Files[0].Size : 0,
                 r->Ok ? r->Files[1].Bytes : std::string());
  }
}

void CUpdater::OnChecked(bool ok, const std::u16string& error, const std::string& file, const std::string& signature) {
  stage_ = kIdle;
  if (!ok) {
    balloon_(error, u"Không kiểm tra được phiên bản mới", CSystemTray::kWarning);
    return;
  }
  const auto key = ReleasePublicKey();
  const std::u16string current = CTavirelApp::ProductVersion();
  const UpdateCheckResult result = JudgeVersionFile(file, signature, current, Sha256, VerifierFor(*key));
  switch (result.Verdict) {
    case UpdateVerdict::kBadSignature:
      balloon_(u"Tập tin phiên bản trên máy chủ không có chữ ký hợp lệ. Tavirel không cập nhật.", kFailTitle,
               CSystemTray::kError);
      return;
    case UpdateVerdict::kUnreadable:
      balloon_(u"Không đọc được tập tin phiên bản trên máy chủ.", kFailTitle, CSystemTray::kWarning);
      return;
    case UpdateVerdict::kUpToDate:
      balloon_(current, u"Bạn đang dùng bản mới nhất", CSystemTray::kNone);
      return;
    case UpdateVerdict::kOffer:
      break;
  }
  wchar_t text[512];
  swprintf(text, 512, L"Phiên bản mới nhất là %ls\nBạn đang dùng bản %ls\nBạn có muốn tải bản mới ?",
           W(result.Manifest.Version), W(current));
  stage_ = kAsking;  // a second check while the box is open is ignored
  const int answer = MessageBoxW(owner_, text, L"Phiên bản mới", MB_YESNO | MB_ICONQUESTION);
  stage_ = kIdle;
  if (answer != IDYES) return;

  folder_ = MakePrivateFolder();
  if (folder_.empty()) {
    Fail(u"Không tạo được thư mục tạm để tải bản mới.");
    return;
  }
  offered_ = result.Manifest;
  package_ = folder_ + u"\\" + kUpdatePackageFile;
  progress_.Reset();
  const std::u16string url = UpdateFileUrl(Location(), kUpdatePackageFile);
  std::vector<CUpdateDownload::File> files{{url, offered_.PackageSize, package_, true},
                                           {url + kSignatureSuffix, kMaxSignature, {}, false}};
  stage_ = kDownloading;
  download_ = std::make_unique<CUpdateDownload>(owner_, message_, std::move(files));
}

void CUpdater::OnDownloaded(bool ok, const std::u16string& error, const Sha256Digest& digest, uint64_t size,
                            const std::string& signature) {
  if (!ok) {
    Fail(error + u" Tavirel vẫn là bản cũ.");
    return;
  }
  const auto key = ReleasePublicKey();
  switch (JudgePackage(digest, size, signature, offered_, VerifierFor(*key))) {
    case PackageVerdict::kBadSignature:
      Fail(u"Bản tải về không có chữ ký hợp lệ và đã bị xóa. Tavirel vẫn là bản cũ.");
      return;
    case PackageVerdict::kNotTheOffered:
      Fail(u"Bản tải về không phải bản " + offered_.Version + u" đã ký và đã bị xóa. Tavirel vẫn là bản cũ.");
      return;
    case PackageVerdict::kGood:
      break;
  }
  Install();
}

void CUpdater::Install() {
  stage_ = kIdle;
  const std::u16string program = CTavirelApp::ProgramPath();
  const std::u16string backup = program + u".bak";
  const std::u16string runnable = folder_ + u"\\tavirel.exe";
  if (!MoveFileExW(W(package_), W(runnable), 0)) {
    Fail(u"Không chuẩn bị được bản tải về.");
    return;
  }
  package_ = runnable;
  DeleteFileW(W(backup));
  if (!MoveFileExW(W(program), W(backup), 0)) {
    Fail(u"Không đổi tên được " + program + u". Tavirel vẫn là bản cũ.");
    return;
  }
  auto restore = [&](const std::u16string& why) {
    // Whatever the package left in its place goes; the old program returns.
    DeleteFileW(W(program));
    const bool back = MoveFileExW(W(backup), W(program), MOVEFILE_REPLACE_EXISTING) != FALSE;
    Fail(why + (back ? u" Tavirel vẫn là bản cũ." : u" Không đưa được bản cũ trở lại từ " + backup + u"."));
  };

  std::u16string command = UnpackCommandLine(package_, AppDirectory());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(W(package_), reinterpret_cast<wchar_t*>(command.data()), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi)) {
    restore(u"Không chạy được bản cài đặt.");
    return;
  }
  // The main thread waits; the keyboard hook runs on its own thread.
  const DWORD waited = WaitForSingleObject(pi.hProcess, kUnpackWaitMs);
  DWORD code = 1;
  if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  else GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  if (waited != WAIT_OBJECT_0 || code != 0 || !Exists(program)) {
    restore(u"Bản cài đặt không giải nén được bản mới.");
    return;
  }

  std::u16string restart = RestartCommandLine(program);
  STARTUPINFOW si2{};
  si2.cb = sizeof si2;
  PROCESS_INFORMATION pi2{};
  if (!CreateProcessW(W(program), reinterpret_cast<wchar_t*>(restart.data()), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si2, &pi2)) {
    restore(u"Không khởi động được bản mới.");
    return;
  }
  CloseHandle(pi2.hThread);
  CloseHandle(pi2.hProcess);
  RemoveFolder();
  // The new copy takes over once this one has ended.
  DestroyWindow(owner_);
}

}  // namespace tavirel
