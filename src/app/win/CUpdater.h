#pragma once
// "Kiểm tra phiên bản mới": fetches the signed version file, asks, downloads
// the signed package into a fresh private folder, checks it, unpacks it over
// the program's folder and restarts the program with "/Update". Lives in the
// tray window on the main thread; the transfers run on a worker thread
// (CUpdateDownload) and arrive as the tray window's update message. Whatever
// fails, the user is told in a balloon and the program keeps running as it
// was: a moved program file is put back.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/DownloadProgress.h"
#include "app/UpdateCheck.h"
#include "app/win/CSystemTray.h"

namespace tavirel {

class CUpdateDownload;

class CUpdater {
 public:
  using ShowBalloon = std::function<void(const std::u16string& text, const std::u16string& title,
                                         CSystemTray::BalloonIcon icon)>;

  // owner: the tray window, which receives `message` and hands it to
  // OnMessage; destroying it ends the program after a successful install.
  CUpdater(HWND owner, UINT message, ShowBalloon balloon);
  ~CUpdater();
  CUpdater(const CUpdater&) = delete;
  CUpdater& operator=(const CUpdater&) = delete;

  // The tray command; ignored while a check or a download runs.
  void Check();
  void OnMessage(WPARAM wp, LPARAM lp);
  bool Busy() const { return stage_ != kIdle; }

  // The update location: the build's, or a loopback address from the
  // environment variable TAVIREL_UPDATE_LOCATION (for tests); empty when
  // neither is usable.
  static std::u16string Location();

 private:
  enum Stage { kIdle, kChecking, kAsking, kDownloading };
  void OnChecked(bool ok, const std::u16string& error, const std::string& file, const std::string& signature);
  void OnDownloaded(bool ok, const std::u16string& error, const Sha256Digest& digest, uint64_t size,
                    const std::string& signature);
  void Install();
  void Fail(const std::u16string& text);
  void RemoveFolder();

  HWND owner_;
  UINT message_;
  ShowBalloon balloon_;
  Stage stage_ = kIdle;
  std::unique_ptr<CUpdateDownload> download_;
  CDownloadProgress progress_;
  UpdateManifest offered_;
  std::u16string folder_;   // the fresh download folder, empty when none
  std::u16string package_;  // the package inside it
};

}  // namespace tavirel
