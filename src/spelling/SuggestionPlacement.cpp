#include "spelling/SuggestionPlacement.h"

#include <algorithm>
#include <cstdint>

namespace tavirel {

namespace {

// Inside the work area as far as the size allows (left and top win).
ScreenPoint Inside(ScreenPoint p, int32_t w, int32_t h, const ScreenRect& work) {
  p.X = std::max(std::min(p.X, work.Right - w), work.Left);
  p.Y = std::max(std::min(p.Y, work.Bottom - h), work.Top);
  return p;
}

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// value * num / den rounded half away from zero, as Windows scales.
int64_t Scale(int32_t value, int32_t num, int32_t den) {
  const int64_t product = static_cast<int64_t>(value) * num;
  const int64_t half = den / 2;
  return product >= 0 ? (product + half) / den : -((-product + half) / den);
}

}  // namespace

ScreenPoint PlaceNearCaret(const ScreenRect& caret, const ScreenRect& work, const ScreenRect& window, bool visible,
                           const ScreenRect& lastCaret) {
  const int32_t w = window.Width();
  const int32_t h = window.Height();
  ScreenPoint p{window.Left, window.Top};
  // Typing along one line inside the popup's width keeps it still.
  const bool keep = visible && caret.Left >= window.Left && caret.Left <= window.Right && caret.Top == lastCaret.Top;
  if (caret.Bottom + h + 10 <= work.Bottom) {
    if (!keep) p = {std::max(caret.Left - 30, work.Left), caret.Bottom + 10};
  } else if (caret.Top - h - 10 >= work.Top) {
    if (!keep) p = {std::max(caret.Left - 30, work.Left), caret.Top - h - 10};
  } else if (caret.Right + w + 50 <= work.Right) {
    p = {caret.Right + 50, caret.Top};
  } else if (caret.Left - w - 50 >= work.Left) {
    p = {caret.Left - w - 50, caret.Top};
  }
  return Inside(p, w, h, work);
}

ScreenPoint PlaceAfterChange(const ScreenRect& window, const ScreenRect& work, const ScreenRect& lastCaret,
                             bool atManual) {
  const int32_t w = window.Width();
  const int32_t h = window.Height();
  const ScreenPoint at{window.Left, window.Top};
  if (atManual) return Inside(at, w, h, work);
  const bool inside =
      window.Left >= work.Left && window.Top >= work.Top && window.Right <= work.Right && window.Bottom <= work.Bottom;
  const bool offLine = window.Top >= lastCaret.Bottom || window.Bottom <= lastCaret.Top ||
                       window.Left >= lastCaret.Right || window.Right <= lastCaret.Left;
  if (inside && offLine) return at;
  return PlaceNearCaret(lastCaret, work, window, false, lastCaret);
}

ScreenPoint SnapToWorkArea(ScreenPoint p, int32_t width, int32_t height, const ScreenRect& work) {
  if (p.X - work.Left <= 10 && p.X - work.Left >= -10) {
    p.X = work.Left;
  } else if (p.X + width - work.Right <= 10 && p.X + width - work.Right >= -10) {
    p.X = work.Right - width;
  }
  if (p.Y - work.Top <= 10 && p.Y - work.Top >= -10) {
    p.Y = work.Top;
  } else if (p.Y + height - work.Bottom <= 10 && p.Y + height - work.Bottom >= -10) {
    p.Y = work.Bottom - height;
  }
  return p;
}

ScreenPoint DefaultManualPosition(const ScreenRect& work, int32_t width, int32_t height) {
  return {work.Right - width, work.Bottom - height};
}

ScreenRect CaretToScreen(const ScreenRect& caretInClient, ScreenPoint clientOrigin, int32_t windowDpi,
                         int32_t monitorDpi) {
  if (windowDpi <= 0 || monitorDpi <= 0) windowDpi = monitorDpi = 1;
  const auto at = [&](int32_t origin, int32_t offset) {
    return Clamp32(static_cast<int64_t>(origin) + Scale(offset, monitorDpi, windowDpi));
  };
  return {at(clientOrigin.X, caretInClient.Left), at(clientOrigin.Y, caretInClient.Top),
          at(clientOrigin.X, caretInClient.Right), at(clientOrigin.Y, caretInClient.Bottom)};
}

}  // namespace tavirel
