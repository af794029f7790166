#pragma once
// Where the suggestion popup goes: below the caret, else above it, else to
// its right, else to its left, always inside the work area of the caret's
// monitor (which may lie at negative coordinates), and kept still while the
// caret moves along one line inside the popup's width. Screen pixels.
#include <cstdint>

namespace tavirel {

struct ScreenRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool operator==(const ScreenRect&) const = default;
};

struct ScreenPoint {
  int32_t X = 0, Y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

// The popup's top-left for the caret. window: where it is now (its size is
// kept); visible: it shows now; lastCaret: the caret it was placed for.
ScreenPoint PlaceNearCaret(const ScreenRect& caret, const ScreenRect& work, const ScreenRect& window, bool visible,
                           const ScreenRect& lastCaret);

// The popup shown at window after its size or its work area changed: where
// it goes. At the user's own place (atManual) it is only pulled inside the
// work area. Placed for lastCaret, it stays while it still lies inside the
// work area and off the caret's line, else it is placed again for that caret
// as if newly shown (below, above, right, left).
ScreenPoint PlaceAfterChange(const ScreenRect& window, const ScreenRect& work, const ScreenRect& lastCaret,
                             bool atManual);

// A popup of that size dropped at topLeft: an edge within 10 pixels of the
// work area's edge is put on it.
ScreenPoint SnapToWorkArea(ScreenPoint topLeft, int32_t width, int32_t height, const ScreenRect& work);

// The bottom-right corner of the work area.
ScreenPoint DefaultManualPosition(const ScreenRect& work, int32_t width, int32_t height);

// A caret rectangle given in the client coordinates of a window drawn for
// windowDpi (96 when it knows nothing of DPI, the system's when it knows one
// DPI) whose client area starts at clientOrigin in screen pixels, on a monitor
// of monitorDpi: the caret in screen pixels. The offset inside the client area
// is scaled, the origin is not. A DPI of 0 or less is taken as equal to the
// other (no scaling).
ScreenRect CaretToScreen(const ScreenRect& caretInClient, ScreenPoint clientOrigin, int32_t windowDpi,
                         int32_t monitorDpi);

}  // namespace tavirel
