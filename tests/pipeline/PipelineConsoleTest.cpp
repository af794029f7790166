// Consoles: the console of the e2e tests builds its input from the layout's
// keys and drops Unicode packets, so Tavirel writes its text into the
// console's input, outside the hook callback and in order with the keys.
#include "pipeline/PipelineFixture.h"

namespace tavirel {
namespace {

class PipelineConsoleTest : public PipelineTest {
 protected:
  PipelineConsoleTest() {
    console = desk.AddWindow(u"ConsoleWindowClass");
    desk.SetConsole(console);
    desk.SetFocus(console);
    desk.Click();
  }
  WindowHandle console = 0;
};

TEST_F(PipelineConsoleTest, TelexReachesTheConsoleExactly) {
  // The clipboard option does not apply: a console may not paste on Ctrl+V.
  service.Clipboard = true;
  desk.SetClipboardText(u"mine");
  Type(u"echo Tieengs Vieejt cos daaus: DDuwowfng phoos Haf Nooik\bj, nguwowif uwowst aso\n");
  EXPECT_EQ(Field(), "echo Tiếng Việt có dấu: Đường phố Hà Nội, người ướt áo\n");
  EXPECT_GT(desk.ConsoleWrites, 0);
  EXPECT_EQ(desk.ClipboardOpens, 0);
  EXPECT_EQ(desk.ClipboardText(), u"mine");
  EXPECT_EQ(desk.ClipboardOpensInHook, 0);

  // Keys typed before the write has gone out wait for it and keep their order.
  Clear();
  desk.HoldDeferredWork = true;
  Type(u"quas tuyeetj");
  EXPECT_EQ(Field(), "qua");
  desk.HoldDeferredWork = false;
  desk.RunDeferredWork();
  EXPECT_EQ(Field(), "quá tuyệt");

  // A console answers the writer between its own messages: until it has
  // written, every later key waits, also the ones Tavirel lets through.
  Clear();
  desk.HoldConsoleWrites = true;
  Type(u"Vieejt\nddi ");
  EXPECT_EQ(Field(), "Vie");
  for (int i = 0; i < 3; ++i) desk.FinishConsoleWrites();
  EXPECT_EQ(Field(), "Việt\nđi ");
  desk.HoldConsoleWrites = false;

  // Output that no held key started (a suggestion picked with the mouse)
  // holds the keys after it just the same, also those let through.
  Clear();
  desk.HoldConsoleWrites = true;
  service.SendText(0, u"đi");
  Type(u" nhes");
  EXPECT_EQ(Field(), "");
  for (int i = 0; i < 3; ++i) desk.FinishConsoleWrites();
  EXPECT_EQ(Field(), "đi nhé");

  // A console slower than the wait: the late answer of the write given up
  // on is not taken for the write after it.
  Clear();
  Type(u"ddi");
  desk.Advance(2500);
  EXPECT_EQ(Field(), "di");
  Type(u" nhes x");
  desk.FinishConsoleWrites(1);
  EXPECT_EQ(Field(), "di nhđ");
  desk.FinishConsoleWrites();
  EXPECT_EQ(Field(), "di nhé x");

  // The hook thread ends while a write is out: the writes are finished and
  // the keys held behind them follow, none lost.
  Clear();
  Type(u"Vieejt nhes");
  EXPECT_EQ(Field(), "Vie");
  service.StopWaitingForPaste();
  desk.RunDeferredWork();
  EXPECT_EQ(Field(), "Việt nhé");
  service.ResumeWaitingForAnswers();
  desk.HoldConsoleWrites = false;

  // A rule that names key packets for the program is followed (and loses
  // the letters here, as that console drops them).
  CAppRules rules;
  rules.Set(AppRule{u"cmd.exe", AppVietnamese::On, AppDelivery::KeyPackets});
  desk.SetProgram(console, u"cmd.exe");
  service.SetAppRules(rules);
  Clear();
  const int writes = desk.ConsoleWrites;
  Type(u"vieetj");
  EXPECT_EQ(desk.ConsoleWrites, writes);
  EXPECT_EQ(Field(), "v");
}

}  // namespace
}  // namespace tavirel
