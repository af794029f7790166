// Random key streams into the input service on SimDesktop: key downs and ups
// of any code, modifiers, clicks, focus changes, the clock, option flips.
#include <cstddef>
#include <cstdint>

#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "sim/SimDesktop.h"

using namespace tavirel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SimDesktop desk;
  desk.RecordAppKeys = false;
  const WindowHandle paste = desk.AddWindow(u"gdkWindowToplevel");
  const WindowHandle bytes = desk.AddWindow(u"Edit", false);
  const WindowHandle autoComplete = desk.AddWindow(u"Chrome_AutocompleteEditView");
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  service.DetectAutoCompleteWindows = true;

  for (size_t i = 0; i + 1 < size; i += 2) {
    const uint8_t op = data[i];
    const uint8_t arg = data[i + 1];
    switch (op % 16) {
      case 0: case 1: case 2: case 3: case 4: case 5:
        desk.TypeChar(static_cast<char16_t>(arg < 0x80 ? arg : 0x1E00 + arg));
        break;
      case 6: desk.KeyDown(arg); break;
      case 7: desk.KeyUp(arg); break;
      case 8: desk.Press(arg); break;
      case 9: desk.Click(arg % 3 == 0 ? static_cast<int>(arg) : -1, (arg & 1) != 0); break;
      case 10: {
        const WindowHandle windows[] = {1, paste, bytes, autoComplete, 0};
        desk.SetFocus(windows[arg % 5]);
        break;
      }
      case 11: desk.Advance(static_cast<uint32_t>(arg) * 10); break;
      case 12: desk.ClipboardLocked = (arg & 1) != 0; break;
      case 13: {
        const char16_t* tables[] = {u"Unicode", u"VNI Windows", u"TCVN3 (ABC)", u"VIQR", u"Unicode tổ hợp"};
        service.SetCodeTable(tables[arg % 5]);
        break;
      }
      case 14: {
        const char16_t* methods[] = {u"Telex 2", u"Telex", u"VNI", u"VIQR"};
        service.SetTypingMethod(methods[arg % 4]);
        break;
      }
      default:
        switch (arg % 6) {
          case 0: service.CPUCao = !service.CPUCao; break;
          case 1: service.Clipboard = !service.Clipboard; break;
          case 2: service.Context().GoCacTuTVLienTuc = !service.Context().GoCacTuTVLienTuc; break;
          case 3: service.Context().TuThemDauSac = !service.Context().TuThemDauSac; break;
          case 4: service.Context().BoDauThanhKieu2 = !service.Context().BoDauThanhKieu2; break;
          default: service.SetVietnamese(!service.IsVietnamese()); break;
        }
    }
    if (desk.Text().size() > 4096) desk.ClearText();
  }
  return 0;
}
