// Keyboard layouts other than US, on SimDesktop's German layout: Wine keeps
// no dead-key state shared between programs, Windows does, and there a
// translation of the next key in the hook can use up the application's
// dead key. Under Wine the layout comes from the X server's keymap, and the
// test X server keeps its US keymap whatever is uploaded to it, so these
// cases are checked here rather than end to end.
#include "pipeline/PipelineFixture.h"

namespace tavirel {
namespace {

constexpr uint16_t kCircumflex = 0xDC;  // dead ^
constexpr uint16_t kAcute = 0xDD;       // dead ´, with Shift dead `

class PipelineLayoutTest : public PipelineTest {
 protected:
  PipelineLayoutTest() { desk.UseGermanLayout(); }
  void AltGr(uint16_t key) { Chord({vk::kLControl, vk::kRMenu}, key); }
  void Shifted(uint16_t key) { Chord({vk::kLShift}, key); }
};

TEST_F(PipelineLayoutTest, AltGrCharactersPassAmidTelex) {
  Type(u"Vieejt");
  AltGr('Q');
  EXPECT_EQ(Field(), "Việt@");  // not the word's keys back (Ctrl+Alt alone restores)
  Type(u"ddaau ");
  AltGr('E');
  AltGr('8');
  AltGr(0xDB);
  Type(u"nuwowcs");
  EXPECT_EQ(Field(), "Việt@đâu €[\\nước");
}

TEST_F(PipelineLayoutTest, DeadKeysComposeInTheApplicationWhateverTheTranslationDoes) {
  for (const bool keeps : {true, false}) {
    SCOPED_TRACE(keeps ? "translation keeps the dead key" : "translation uses it up");
    desk.TranslationKeepsDeadKey = keeps;
    Clear();
    Type(u"Vieejt ");
    desk.Press(kCircumflex);
    Type(u"e ");
    desk.Press(kAcute);
    Type(u"a ");
    Shifted(kAcute);
    Shifted('A');
    Type(u" vi");  // a dead key inside a word
    desk.Press(kCircumflex);
    Type(u"et ");
    desk.Press(kCircumflex);
    Type(u" Tieengs");  // the dead key alone, then Telex again
    EXPECT_EQ(Field(), "Việt ê á À viêt ^Tiếng");
  }
}

}  // namespace
}  // namespace tavirel
