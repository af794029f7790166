#pragma once
// What the hotkey actions ask of the user-interface thread: opening windows.
// Called on the hook thread; an implementation only posts the request to the
// main thread (the Windows program through its tray window) and returns at
// once: it never waits, reads a file or touches a window itself.
namespace tavirel {

class IShellRequests {
 public:
  virtual ~IShellRequests() = default;
  virtual void ShowMainDialog() = 0;
  virtual void ShowConversionDialog() = 0;
  virtual void ShowCreateShorthandDialog() = 0;
};

// The process-wide receiver; null (requests dropped) until the program sets it.
IShellRequests* ShellRequests();
void SetShellRequests(IShellRequests* requests);

}  // namespace tavirel
