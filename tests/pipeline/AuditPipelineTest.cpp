// The run must never outlive what the user did behind its back: keys that
// reached the application uninterpreted, clicks while Vietnamese typing is
// off, a change of output table.
// Each case would otherwise make a later replacement delete the user's text.
#include "pipeline/PipelineFixture.h"

namespace tavirel {
namespace {

constexpr uint16_t kPauseKey = 0x13;

// A user hotkey that flips the master switch, as the on/off action does.
class MasterSwitchAction : public CHotKeyActionBase {
 public:
  using CHotKeyActionBase::CHotKeyActionBase;
  bool Execute() override {
    Service->MasterSwitch = !Service->MasterSwitch;
    return true;
  }
};

// A user hotkey that selects a code table.
class CodeTableAction : public CHotKeyActionBase {
 public:
  CodeTableAction(CInputMethodService* s, KeyCombo key, std::u16string table)
      : CHotKeyActionBase(s, key), table_(std::move(table)) {}
  bool Execute() override {
    Service->SetCodeTable(table_);
    return true;
  }

 private:
  std::u16string table_;
};

TEST_F(PipelineTest, ClickEndsTheRunWhileVietnameseIsOffWithShorthand) {
  service.Context().SetShorthandTable({u"ko"}, {u"không"});
  service.Context().GoTatKhiTatTavirel = true;
  service.SetVietnamese(false);
  Type(u"k");
  desk.Click(0);
  EXPECT_EQ(Type(u"o "), "o k");
  // Without a click the shorthand still works while Vietnamese is off.
  Clear();
  EXPECT_EQ(Type(u"ko "), "không ");
}

TEST_F(PipelineTest, KeysTypedWhileTheMasterSwitchIsOffEndTheRun) {
  service.Context().SetShorthandTable({u"ko"}, {u"không"});
  service.UserHotKeys().push_back(std::make_unique<MasterSwitchAction>(&service, KeyCombo(0, kPauseKey)));
  Type(u"ko");
  desk.Press(kPauseKey);  // off
  ASSERT_FALSE(service.MasterSwitch);
  Type(u"xy");
  desk.Press(kPauseKey);  // on again
  EXPECT_EQ(Type(u" "), "koxy ");
  // Turned off and on with nothing typed between, the word goes on.
  Clear();
  Type(u"vieet");
  desk.Press(kPauseKey);
  desk.Press(kPauseKey);
  EXPECT_EQ(Type(u"j"), "việt");
}

TEST_F(PipelineTest, ChangingTheCodeTableEndsTheWord) {
  service.UserHotKeys().push_back(
      std::make_unique<CodeTableAction>(&service, KeyCombo(0, kPauseKey), u"VNI Windows"));
  // "tiê" is on screen in Unicode; the word must not be rewritten as if it
  // had been typed in the new table.
  Type(u"tiee");
  desk.Press(kPauseKey);
  EXPECT_EQ(Type(u"s"), "tiês");
}

}  // namespace
}  // namespace tavirel
