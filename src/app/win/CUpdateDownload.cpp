#include "app/win/CUpdateDownload.h"

#include <winhttp.h>

#include "app/win/UpdateCrypto.h"

namespace tavirel {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

constexpr int kResolveMs = 15000, kConnectMs = 15000, kSendMs = 15000, kReceiveMs = 30000;

struct Handle {
  HINTERNET h = nullptr;
  ~Handle() {
    if (h) WinHttpCloseHandle(h);
  }
};

std::u16string SystemError(DWORD code) {
  return u" (mã lỗi " + [&] {
    std::u16string s;
    for (char c : std::to_string(code)) s += static_cast<char16_t>(c);
    return s;
  }() + u")";
}

}  // namespace

CUpdateDownload::CUpdateDownload(HWND notify, UINT message, std::vector<File> files)
    : notify_(notify), message_(message), files_(std::move(files)) {
  worker_ = std::thread([this] { Run(); });
}

CUpdateDownload::~CUpdateDownload() {
  cancel_ = true;
  // Closing the request ends a blocking receive at once.
  if (void* r = request_.exchange(nullptr)) WinHttpCloseHandle(r);
  if (worker_.joinable()) worker_.join();
}

template <class T>
void CUpdateDownload::Post(Kind kind, std::unique_ptr<T> record) {
  if (cancel_) return;
  if (PostMessageW(notify_, message_, kind, reinterpret_cast<LPARAM>(record.get()))) record.release();
}

void CUpdateDownload::Run() {
  auto result = std::make_unique<Result>();
  result->Ok = true;
  for (const File& file : files_) {
    Fetched fetched;
    if (!Fetch(file, fetched, result->Error)) {
      result->Ok = false;
      if (!file.SaveAs.empty()) DeleteFileW(W(file.SaveAs));
      break;
    }
    result->Files.push_back(std::move(fetched));
  }
  if (!result->Ok) result->Files.clear();
  Post(kDone, std::move(result));
}

bool CUpdateDownload::Fetch(const File& file, Fetched& out, std::u16string& error) {
  std::u16string host(256, u'\0'), path(2048, u'\0');
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = reinterpret_cast<wchar_t*>(host.data());
  parts.dwHostNameLength = static_cast<DWORD>(host.size());
  parts.lpszUrlPath = reinterpret_cast<wchar_t*>(path.data());
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  if (!WinHttpCrackUrl(W(file.Url), 0, 0, &parts)) {
    error = u"Địa chỉ cập nhật không hợp lệ.";
    return false;
  }
  host.resize(parts.dwHostNameLength);
  path.resize(parts.dwUrlPathLength);
  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

  Handle session, connection, request;
  session.h = WinHttpOpen(L"Tavirel", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                          WINHTTP_NO_PROXY_BYPASS, 0);
  if (session.h) WinHttpSetTimeouts(session.h, kResolveMs, kConnectMs, kSendMs, kReceiveMs);
  if (session.h) connection.h = WinHttpConnect(session.h, W(host), parts.nPort, 0);
  if (connection.h) {
    request.h = WinHttpOpenRequest(connection.h, L"GET", W(path), nullptr, WINHTTP_NO_REFERER,
                                   WINHTTP_DEFAULT_ACCEPT_TYPES,
                                   WINHTTP_FLAG_REFRESH | (secure ? WINHTTP_FLAG_SECURE : 0));
  }
  if (!request.h) {
    error = u"Không kết nối được máy chủ cập nhật" + SystemError(GetLastError()) + u".";
    return false;
  }
  // The request may be closed from the destructor to cancel a receive.
  request_ = request.h;
  struct Release {
    CUpdateDownload* self;
    Handle& request;
    ~Release() {
      if (self->request_.exchange(nullptr) == nullptr) request.h = nullptr;  // closed by the destructor
    }
  } release{this, request};

  if (cancel_ || !WinHttpSendRequest(request.h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !WinHttpReceiveResponse(request.h, nullptr)) {
    error = u"Không kết nối được máy chủ cập nhật" + SystemError(GetLastError()) + u".";
    return false;
  }
  DWORD status = 0, size = sizeof status;
  WinHttpQueryHeaders(request.h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                      &status, &size, WINHTTP_NO_HEADER_INDEX);
  if (status != 200) {
    error = u"Máy chủ cập nhật trả lời lỗi" + SystemError(status) + u".";
    return false;
  }
  wchar_t lengthText[32] = {};
  size = sizeof lengthText;
  uint64_t total = 0;
  if (WinHttpQueryHeaders(request.h, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, lengthText, &size,
                          WINHTTP_NO_HEADER_INDEX)) {
    total = wcstoull(lengthText, nullptr, 10);
  }
  if (total > file.MaxBytes) {
    error = u"Tập tin cập nhật lớn hơn dự kiến.";
    return false;
  }

  HANDLE disk = INVALID_HANDLE_VALUE;
  if (!file.SaveAs.empty()) {
    disk = CreateFileW(W(file.SaveAs), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (disk == INVALID_HANDLE_VALUE) {
      error = u"Không ghi được tập tin tải về" + SystemError(GetLastError()) + u".";
      return false;
    }
  }
  CSha256 hash;
  std::vector<char> buf(64 * 1024);
  bool ok = hash.Ok();
  if (!ok) error = u"Không tính được mã băm của tập tin tải về.";
  DWORD lastReport = GetTickCount() - 1000;
  while (ok) {
    DWORD got = 0;
    if (cancel_ || !WinHttpReadData(request.h, buf.data(), static_cast<DWORD>(buf.size()), &got)) {
      error = u"Tải về bị ngắt" + SystemError(GetLastError()) + u".";
      ok = false;
      break;
    }
    if (got == 0) break;
    if (out.Size + got > file.MaxBytes) {
      error = u"Tập tin cập nhật lớn hơn dự kiến.";
      ok = false;
      break;
    }
    hash.Add(buf.data(), got);
    out.Size += got;
    if (disk != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      if (!WriteFile(disk, buf.data(), got, &written, nullptr) || written != got) {
        error = u"Không ghi được tập tin tải về" + SystemError(GetLastError()) + u".";
        ok = false;
        break;
      }
    } else {
      out.Bytes.append(buf.data(), got);
    }
    // A few reports a second are enough for the balloons.
    if (file.ReportProgress && (GetTickCount() - lastReport >= 200 || out.Size == total)) {
      lastReport = GetTickCount();
      Post(kProgress, std::make_unique<Progress>(Progress{out.Size, total}));
    }
  }
  if (disk != INVALID_HANDLE_VALUE && !CloseHandle(disk) && ok) {
    error = u"Không ghi được tập tin tải về" + SystemError(GetLastError()) + u".";
    ok = false;
  }
  if (ok) out.Digest = hash.Finish();
  return ok;
}

}  // namespace tavirel
