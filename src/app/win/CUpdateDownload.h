#pragma once
// Downloads files of the update location on a worker thread. The main
// thread is never blocked: progress and the end are posted to a window as
// one message, wParam the kind, lParam a new'd record the receiver deletes
// (TakeProgress / TakeResult). Destroying the object cancels the transfer
// and waits for the worker, which gives up within the network timeouts.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/UpdateSignature.h"

namespace tavirel {

class CUpdateDownload {
 public:
  enum Kind : WPARAM { kProgress = 1, kDone = 2 };

  struct File {
    std::u16string Url;
    uint64_t MaxBytes = 0;       // more than this is a failure
    std::u16string SaveAs;       // empty: kept in memory
    bool ReportProgress = false;
  };
  struct Fetched {
    std::string Bytes;           // the content when kept in memory
    uint64_t Size = 0;
    Sha256Digest Digest{};
  };
  struct Result {
    bool Ok = false;
    std::u16string Error;        // for the user, when !Ok
    std::vector<Fetched> Files;  // in the order asked
  };
  struct Progress {
    uint64_t Received = 0;
    uint64_t Total = 0;          // 0 when the server gave no length
  };

  CUpdateDownload(HWND notify, UINT message, std::vector<File> files);
  ~CUpdateDownload();
  CUpdateDownload(const CUpdateDownload&) = delete;
  CUpdateDownload& operator=(const CUpdateDownload&) = delete;

  static std::unique_ptr<Progress> TakeProgress(LPARAM lp) { return std::unique_ptr<Progress>(reinterpret_cast<Progress*>(lp)); }
  static std::unique_ptr<Result> TakeResult(LPARAM lp) { return std::unique_ptr<Result>(reinterpret_cast<Result*>(lp)); }

 private:
  void Run();
  bool Fetch(const File& file, Fetched& out, std::u16string& error);
  template <class T>
  void Post(Kind kind, std::unique_ptr<T> record);

  HWND notify_;
  UINT message_;
  std::vector<File> files_;
  std::atomic<bool> cancel_{false};
  std::atomic<void*> request_{nullptr};
  std::thread worker_;
};

}  // namespace tavirel
