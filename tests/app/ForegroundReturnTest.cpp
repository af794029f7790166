#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "app/ForegroundReturn.h"

namespace tavirel {

void PrintTo(const WindowRef& w, std::ostream* os) {
  *os << "window " << w.Window << " of process " << w.Process << (w.Taskbar ? " (taskbar)" : "");
}

namespace {

constexpr std::uint32_t kOwn = 40;
constexpr WindowRef kTray{1, kOwn};
constexpr WindowRef kMainDlg{2, kOwn};
constexpr WindowRef kNotepad{100, 7};
constexpr WindowRef kWord{200, 8};
constexpr WindowRef kTaskbar{300, 9, true};
constexpr WindowRef kFolder{301, 9};  // a folder window of the taskbar's own program

// The desktop as the tray window sees it: a foreground window, windows that
// exist, and our modal dialogs nested on the tray window's thread. Closing
// a dialog puts its owner, the tray window, in front (as EndDialog does),
// then the tray window asks whether to give the foreground back. Every
// change of the front is noticed, as the foreground events report it.
struct Desktop {
  explicit Desktop(WindowRef first = kNotepad) : front(first) { back.Noticed(first); }

  CForegroundReturn back{kOwn};
  WindowRef front;
  std::vector<WindowRef> alive{kTray, kNotepad, kWord, kTaskbar, kFolder};
  std::vector<WindowRef> open;  // what each open dialog remembered, innermost last

  WindowRef Now(WindowRef w) const {
    for (WindowRef a : alive) {
      if (a.Window == w.Window) return a;
    }
    return {};
  }
  void Front(WindowRef w) {
    front = w;
    back.Noticed(w);
  }
  void Menu() {  // the tray menu or a double click on the icon
    back.BeforeTrayInFront(front);
    Front(kTray);
  }
  // As on Windows: the click on the icon brings the taskbar in front first.
  void ClickOnIcon() {
    Front(kTaskbar);
    Menu();
  }
  void OpenDialog() {
    open.push_back(back.Opening(front, kTray.Window));
    Front({3 + open.size(), kOwn});
  }
  void CloseDialog() {
    const WindowRef remembered = open.back();
    open.pop_back();
    Front(kTray);
    if (back.GiveBack(remembered, Now(remembered), front)) Front(remembered);
  }
};

TEST(ForegroundReturn, DialogOpenedByHotkeyGivesTheProgramBackItsKeys) {
  Desktop d;
  d.OpenDialog();
  d.CloseDialog();
  EXPECT_EQ(d.front, kNotepad);
}

TEST(ForegroundReturn, DialogOpenedFromTheTrayMenuGoesBackToWhereTheMenuWasOpened) {
  Desktop d;
  d.Front(kWord);
  d.Menu();
  d.OpenDialog();
  d.CloseDialog();
  EXPECT_EQ(d.front, kWord);

  // The note is taken once: a command that reaches the tray window later,
  // without the menu, finds nothing to give back.
  d.Front(kTray);
  d.OpenDialog();
  d.CloseDialog();
  EXPECT_EQ(d.front, kTray);
}

TEST(ForegroundReturn, TaskbarBroughtInFrontByTheClickIsPassedOver) {
  Desktop d;
  d.Front(kWord);
  d.ClickOnIcon();
  d.OpenDialog();
  d.CloseDialog();
  EXPECT_EQ(d.front, kWord) << "the keys typed after OK go where the user was typing";

  // A hotkey pressed while the taskbar is in front (the user clicked it).
  d.Front(kNotepad);
  d.Front(kTaskbar);
  d.OpenDialog();
  d.CloseDialog();
  EXPECT_EQ(d.front, kNotepad);

  // The taskbar's own program has windows the user types into.
  d.Front(kFolder);
  d.ClickOnIcon();
  d.OpenDialog();
  d.CloseDialog();
  EXPECT_EQ(d.front, kFolder);

  // Nothing but the taskbar was ever in front: nothing to give back.
  Desktop fresh(kTaskbar);
  fresh.ClickOnIcon();
  fresh.OpenDialog();
  fresh.CloseDialog();
  EXPECT_EQ(fresh.front, kTray);
}

TEST(ForegroundReturn, MenuOpenedOverOurDialogThroughTheTaskbarLeavesTheFrontToIt) {
  Desktop d;
  d.OpenDialog();   // the main dialog, opened by hotkey from Notepad
  d.ClickOnIcon();  // the taskbar comes in front of it, then the menu
  d.OpenDialog();
  d.CloseDialog();
  EXPECT_EQ(d.front, kTray) << "Notepad must not take the front from under the main dialog";
  d.CloseDialog();
  EXPECT_EQ(d.front, kNotepad);
}

TEST(ForegroundReturn, OnlyTheTaskbarAndItsIconOverflowAreTaskbar) {
  EXPECT_TRUE(IsTaskbarClass(u"Shell_TrayWnd"));
  EXPECT_TRUE(IsTaskbarClass(u"Shell_SecondaryTrayWnd"));  // on another monitor
  EXPECT_TRUE(IsTaskbarClass(u"NotifyIconOverflowWindow"));
  EXPECT_FALSE(IsTaskbarClass(u"CabinetWClass"));  // a folder window
  EXPECT_FALSE(IsTaskbarClass(u""));
}

TEST(ForegroundReturn, DialogOverOneOfOursLeavesTheFrontToItsOwner) {
  Desktop d;
  d.OpenDialog();  // the main dialog, opened from Notepad
  d.Menu();        // the menu opened over it
  d.OpenDialog();
  d.CloseDialog();
  EXPECT_EQ(d.front, kTray) << "nothing outside to go back to while a dialog of ours is open";
  d.Front({4, kOwn});  // the user clicks the main dialog again
  d.OpenDialog();       // a hotkey while it is in front
  d.CloseDialog();
  EXPECT_EQ(d.front, kTray);
  d.CloseDialog();
  EXPECT_EQ(d.front, kNotepad);
}

TEST(ForegroundReturn, NestedDialogsEachReturnToTheirOwnProgram) {
  Desktop d;
  d.OpenDialog();   // from Notepad
  d.Front(kWord);  // the user goes on to Word, leaving the dialog open
  d.OpenDialog();   // and opens another by hotkey there
  d.CloseDialog();
  EXPECT_EQ(d.front, kWord);
  // The first dialog closes while Word is in front: Word keeps it. (Closed
  // by its own OK the dialog would be in front, and Notepad would get it.)
  const WindowRef first = d.open.back();
  d.open.pop_back();
  EXPECT_FALSE(d.back.GiveBack(first, d.Now(first), kWord));
  EXPECT_TRUE(d.back.GiveBack(first, d.Now(first), kTray));
}

TEST(ForegroundReturn, WindowThatWentAwayOrChangedHandsIsLeftAlone) {
  CForegroundReturn back(kOwn);
  EXPECT_FALSE(back.GiveBack(kNotepad, {}, kTray)) << "closed while the dialog was open";
  EXPECT_FALSE(back.GiveBack(kNotepad, {kNotepad.Window, 9}, kTray)) << "handle reused by another program";
  EXPECT_FALSE(back.GiveBack(kNotepad, {kNotepad.Window, kOwn}, kTray)) << "handle reused by one of ours";
  EXPECT_FALSE(back.GiveBack({}, {}, kTray));
  EXPECT_FALSE(back.GiveBack(kMainDlg, kMainDlg, kTray)) << "our own windows are never given the front";
  EXPECT_FALSE(back.GiveBack(kNotepad, kNotepad, kNotepad)) << "already in front";
  EXPECT_TRUE(back.GiveBack(kNotepad, kNotepad, {})) << "nothing in front";
  EXPECT_TRUE(back.GiveBack(kNotepad, kNotepad, kMainDlg));
}

TEST(ForegroundReturn, NothingInFrontOrOurOwnWindowIsNeverRemembered) {
  CForegroundReturn back(kOwn);
  EXPECT_EQ(back.Opening({}, kTray.Window), WindowRef{});
  EXPECT_EQ(back.Opening(kMainDlg, kTray.Window), WindowRef{});
  back.BeforeTrayInFront({});
  EXPECT_EQ(back.Opening(kTray, kTray.Window), WindowRef{});
  back.BeforeTrayInFront(kMainDlg);
  EXPECT_EQ(back.Opening(kTray, kTray.Window), WindowRef{});
  // A menu left without a choice does not leak into a later hotkey's dialog.
  back.BeforeTrayInFront(kWord);
  EXPECT_EQ(back.Opening(kNotepad, kTray.Window), kNotepad);
  EXPECT_EQ(back.Opening(kTray, kTray.Window), WindowRef{});
}

}  // namespace
}  // namespace tavirel
