// The popup's place by the caret, on monitors anywhere in the virtual screen
// (left of and above the primary one at negative coordinates): for random
// carets, work areas and popup sizes the popup lies inside the work area
// whenever it fits, never covers the caret line when it goes below or above,
// and stays still while the caret moves along its line. The caret of a
// window drawn for another DPI than its monitor's comes to screen pixels by
// scaling its offset in the window, never the monitor's position.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <random>

#include "spelling/SuggestionPlacement.h"

namespace tavirel {
namespace {

TEST(SuggestionPlacement, BelowThenAboveThenBesideInsideTheWorkArea) {
  const ScreenRect work{-1920, -200, 0, 880};  // a monitor left of and above the primary
  const ScreenRect popup{0, 0, 200, 300};
  // Below.
  EXPECT_EQ(PlaceNearCaret({-1500, 100, -1498, 118}, work, popup, false, {}), (ScreenPoint{-1530, 128}));
  // Near the bottom: above.
  EXPECT_EQ(PlaceNearCaret({-1500, 800, -1498, 818}, work, popup, false, {}), (ScreenPoint{-1530, 490}));
  // Near the left edge: not left of the work area.
  EXPECT_EQ(PlaceNearCaret({-1915, 100, -1913, 118}, work, popup, false, {}).X, -1920);
  // Near the right edge: pulled back inside.
  EXPECT_EQ(PlaceNearCaret({-20, 100, -18, 118}, work, popup, false, {}).X, -200);
  // A popup taller than both halves: to the right of the caret, then left,
  // and inside vertically (not at the screen's y = 0).
  const ScreenRect tall{0, 0, 200, 700};
  const ScreenPoint right = PlaceNearCaret({-1500, 500, -1498, 518}, work, tall, false, {});
  EXPECT_EQ(right.X, -1448);
  EXPECT_EQ(right.Y, 880 - 700);
  EXPECT_EQ(PlaceNearCaret({-100, 500, -98, 518}, work, tall, false, {}).X, -100 - 200 - 50);
}

TEST(SuggestionPlacement, StaysStillAlongALineAndFollowsToTheNext) {
  const ScreenRect work{0, 0, 1920, 1040};
  ScreenRect shown{470, 128, 670, 428};
  const ScreenRect caret{500, 100, 502, 118};
  EXPECT_EQ(PlaceNearCaret({560, 100, 562, 118}, work, shown, true, caret), (ScreenPoint{470, 128}));
  // Beyond the popup's width, or on the next line, or hidden: placed again.
  EXPECT_EQ(PlaceNearCaret({700, 100, 702, 118}, work, shown, true, caret), (ScreenPoint{670, 128}));
  EXPECT_EQ(PlaceNearCaret({560, 120, 562, 138}, work, shown, true, caret), (ScreenPoint{530, 148}));
  EXPECT_EQ(PlaceNearCaret({560, 100, 562, 118}, work, shown, false, caret), (ScreenPoint{530, 128}));
}

TEST(SuggestionPlacement, RandomCaretsKeepThePopupOnItsMonitor) {
  std::mt19937 rng(45);
  for (int i = 0; i < 20000; ++i) {
    const int32_t left = static_cast<int32_t>(rng() % 8000) - 4000;
    const int32_t top = static_cast<int32_t>(rng() % 4000) - 2000;
    const ScreenRect work{left, top, left + 640 + static_cast<int32_t>(rng() % 3200),
                          top + 480 + static_cast<int32_t>(rng() % 1800)};
    const int32_t w = 100 + static_cast<int32_t>(rng() % 400);
    const int32_t h = 100 + static_cast<int32_t>(rng() % 900);
    const int32_t cx = work.Left + static_cast<int32_t>(rng() % static_cast<uint32_t>(work.Width()));
    const int32_t cy = work.Top + static_cast<int32_t>(rng() % static_cast<uint32_t>(work.Height() - 20));
    const ScreenRect caret{cx, cy, cx + 2, cy + 20};
    const ScreenPoint p = PlaceNearCaret(caret, work, {0, 0, w, h}, false, {});
    if (w <= work.Width() && h <= work.Height()) {
      ASSERT_GE(p.X, work.Left);
      ASSERT_LE(p.X + w, work.Right);
      ASSERT_GE(p.Y, work.Top);
      ASSERT_LE(p.Y + h, work.Bottom);
    }
    // When it fits anywhere around the caret, it never covers it.
    const bool fits = caret.Bottom + h + 10 <= work.Bottom || caret.Top - h - 10 >= work.Top ||
                      caret.Right + w + 50 <= work.Right || caret.Left - w - 50 >= work.Left;
    if (fits && !(p.Y >= caret.Bottom || p.Y + h <= caret.Top)) {
      ASSERT_TRUE(p.X >= caret.Right || p.X + w <= caret.Left) << i;
    }
    // Snapping keeps a dropped popup inside when it was within 10 pixels.
    if (work.Height() > h + 20 && work.Width() > w + 20) {
      const ScreenPoint s = SnapToWorkArea({work.Left - 7, work.Bottom - h + 9}, w, h, work);
      ASSERT_EQ(s, (ScreenPoint{work.Left, work.Bottom - h}));
    }
  }
}

TEST(SuggestionPlacement, AfterItGrowsOrTheWorkAreaShrinksThePopupIsPlacedAgain) {
  const ScreenRect caret{55, 76, 56, 99};
  // 24 rows at 150%, placed right of the caret against a 640-pixel-tall
  // area that a taskbar then cut to 612: pulled up, still right of the caret.
  EXPECT_EQ(PlaceAfterChange({106, 47, 419, 640}, {0, 0, 1024, 612}, caret, false), (ScreenPoint{106, 19}));
  // Below the caret and grown past the bottom: above it, not kept at the
  // same left and pushed up over the caret's line.
  const ScreenRect low{500, 700, 502, 718};
  EXPECT_EQ(PlaceAfterChange({470, 728, 670, 1228}, {0, 0, 1920, 1040}, low, false), (ScreenPoint{470, 190}));
  // Still inside and off the caret's line: it does not move.
  EXPECT_EQ(PlaceAfterChange({300, 728, 500, 1000}, {0, 0, 1920, 1040}, low, false), (ScreenPoint{300, 728}));
  // At the user's own place: only pulled inside, wherever the caret is.
  EXPECT_EQ(PlaceAfterChange({-1800, 700, -1600, 1100}, {-1920, 0, 0, 1040}, low, true), (ScreenPoint{-1800, 640}));
  EXPECT_EQ(PlaceAfterChange({-1800, 100, -1600, 500}, {-1920, 0, 0, 1040}, {-1790, 200, -1788, 220}, true),
            (ScreenPoint{-1800, 100}));
}

TEST(SuggestionPlacement, RandomChangesLeaveThePopupInsideAndOffTheCaret) {
  std::mt19937 rng(47);
  for (int i = 0; i < 20000; ++i) {
    const int32_t left = static_cast<int32_t>(rng() % 8000) - 4000;
    const int32_t top = static_cast<int32_t>(rng() % 4000) - 2000;
    const ScreenRect work{left, top, left + 640 + static_cast<int32_t>(rng() % 3200),
                          top + 480 + static_cast<int32_t>(rng() % 1800)};
    const int32_t cx = work.Left + static_cast<int32_t>(rng() % static_cast<uint32_t>(work.Width()));
    const int32_t cy = work.Top + static_cast<int32_t>(rng() % static_cast<uint32_t>(work.Height() - 20));
    const ScreenRect caret{cx, cy, cx + 2, cy + 20};
    // Shown where it was placed for the caret, then given a new height and
    // a work area up to 60 pixels shorter (a taskbar that appeared).
    const int32_t w = 100 + static_cast<int32_t>(rng() % 400);
    const ScreenPoint was = PlaceNearCaret(caret, work, {0, 0, w, 100 + static_cast<int32_t>(rng() % 900)}, false, {});
    const int32_t h = 100 + static_cast<int32_t>(rng() % 900);
    const ScreenRect shown{was.X, was.Y, was.X + w, was.Y + h};
    const ScreenRect now{work.Left, work.Top, work.Right, work.Bottom - static_cast<int32_t>(rng() % 61)};
    const ScreenPoint p = PlaceAfterChange(shown, now, caret, false);
    if (w <= now.Width() && h <= now.Height()) {
      ASSERT_GE(p.X, now.Left) << i;
      ASSERT_LE(p.X + w, now.Right) << i;
      ASSERT_GE(p.Y, now.Top) << i;
      ASSERT_LE(p.Y + h, now.Bottom) << i;
    }
    const bool fits = caret.Bottom + h + 10 <= now.Bottom || caret.Top - h - 10 >= now.Top ||
                      caret.Right + w + 50 <= now.Right || caret.Left - w - 50 >= now.Left;
    if (fits && !(p.Y >= caret.Bottom || p.Y + h <= caret.Top)) {
      ASSERT_TRUE(p.X >= caret.Right || p.X + w <= caret.Left) << i;
    }
    // A spot that is still good is kept.
    const bool good = shown.Left >= now.Left && shown.Top >= now.Top && shown.Right <= now.Right &&
                      shown.Bottom <= now.Bottom &&
                      (shown.Top >= caret.Bottom || shown.Bottom <= caret.Top || shown.Left >= caret.Right ||
                       shown.Right <= caret.Left);
    if (good) {
      ASSERT_EQ(p, was) << i;
    }
  }
}

TEST(SuggestionPlacement, CaretOfAWindowWithAnotherDpiComesToScreenPixels) {
  const ScreenRect caret{10, 4, 11, 20};  // in the window's client area
  // A window that knows nothing of DPI on monitors at 125%, 150% and 200%,
  // left of and above the primary one: the client origin stays where it is.
  EXPECT_EQ(CaretToScreen(caret, {-1920, -200}, 96, 120), (ScreenRect{-1907, -195, -1906, -175}));
  EXPECT_EQ(CaretToScreen(caret, {-1920, -200}, 96, 144), (ScreenRect{-1905, -194, -1903, -170}));
  EXPECT_EQ(CaretToScreen(caret, {-1920, -200}, 96, 192), (ScreenRect{-1900, -192, -1898, -160}));
  // A window drawn for a 150% system on a 100% monitor shrinks.
  EXPECT_EQ(CaretToScreen({15, 6, 17, 30}, {3840, 0}, 144, 96), (ScreenRect{3850, 4, 3851, 20}));
  // Same DPI, or one unknown: moved only.
  EXPECT_EQ(CaretToScreen(caret, {-5, 7}, 144, 144), (ScreenRect{5, 11, 6, 27}));
  EXPECT_EQ(CaretToScreen(caret, {-5, 7}, 0, 144), (ScreenRect{5, 11, 6, 27}));
  EXPECT_EQ(CaretToScreen(caret, {-5, 7}, 96, -1), (ScreenRect{5, 11, 6, 27}));
  // A caret scrolled out left of the client area rounds like one inside.
  EXPECT_EQ(CaretToScreen({-11, -1, -10, 15}, {0, 0}, 96, 144), (ScreenRect{-17, -2, -15, 23}));
  // Far outside: clamped, not wrapped.
  EXPECT_EQ(CaretToScreen({INT32_MAX, 0, INT32_MAX, 1}, {INT32_MAX, 0}, 96, 192).Right, INT32_MAX);
  EXPECT_EQ(CaretToScreen({INT32_MIN, 0, INT32_MIN, 1}, {INT32_MIN, 0}, 96, 192).Left, INT32_MIN);
}

TEST(SuggestionPlacement, RandomCaretsScaleAroundTheirWindowNotTheScreen) {
  const int32_t dpis[] = {96, 120, 144, 192};
  std::mt19937 rng(46);
  for (int i = 0; i < 20000; ++i) {
    const int32_t from = dpis[rng() % 4];
    const int32_t to = dpis[rng() % 4];
    const ScreenPoint origin{static_cast<int32_t>(rng() % 12000) - 8000, static_cast<int32_t>(rng() % 6000) - 4000};
    const int32_t x = static_cast<int32_t>(rng() % 3000) - 100;
    const int32_t y = static_cast<int32_t>(rng() % 2000) - 100;
    const ScreenRect caret{x, y, x + 1 + static_cast<int32_t>(rng() % 3), y + 10 + static_cast<int32_t>(rng() % 40)};
    const ScreenRect s = CaretToScreen(caret, origin, from, to);
    // Where the window sits changes nothing but the translation.
    const ScreenRect atZero = CaretToScreen(caret, {0, 0}, from, to);
    ASSERT_EQ(s, (ScreenRect{atZero.Left + origin.X, atZero.Top + origin.Y, atZero.Right + origin.X,
                             atZero.Bottom + origin.Y}));
    // Each edge lands within half a pixel of the exact scaled place, so the
    // size is the scaled size within a pixel and never turns over.
    ASSERT_LE(std::abs(2 * (static_cast<int64_t>(s.Left - origin.X) * from - static_cast<int64_t>(x) * to)), from);
    ASSERT_LE(std::abs(2 * (static_cast<int64_t>(s.Bottom - origin.Y) * from -
                            static_cast<int64_t>(caret.Bottom) * to)),
              from);
    ASSERT_GE(s.Width(), 0);
    ASSERT_GT(s.Height(), 0);
    // Back to the window's pixels: within a pixel of where it started.
    const ScreenRect back = CaretToScreen(atZero, {0, 0}, to, from);
    ASSERT_LE(std::abs(back.Top - caret.Top), 1);
    ASSERT_LE(std::abs(back.Right - caret.Right), 1);
  }
}

}  // namespace
}  // namespace tavirel
