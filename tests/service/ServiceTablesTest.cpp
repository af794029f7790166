// The typing methods and code tables are read once; the setters and the
// hotkeys that switch them pick from what was read.
#include <gtest/gtest.h>

#include <memory>

#include "common/Utf8.h"
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "service/ServiceTables.h"
#include "sim/SimDesktop.h"
#include "tables/CBangMa.h"
#include "tables/CKieuGo.h"

namespace tavirel {
namespace {

TEST(ServiceTables, HoldWhatTheFilesGiveForEveryName) {
  const auto tables = ServiceTables::Shared();
  ASSERT_GE(tables->Methods.size(), 4u);
  for (const auto& name : GetTypingMethodNames()) {
    const CKieuGo* method = tables->FindMethod(name);
    ASSERT_NE(method, nullptr) << Utf16ToUtf8(name);
    EXPECT_EQ(*method, LoadKieuGo(name)) << Utf16ToUtf8(name);
  }
  ASSERT_GE(tables->CodeTables.size(), 7u);
  for (const auto& name : CodeTableNames()) {
    const CBangMa* table = tables->FindCodeTable(name);
    if (name == u"Unicode") {
      EXPECT_EQ(table, nullptr);
      continue;
    }
    ASSERT_NE(table, nullptr) << Utf16ToUtf8(name);
    EXPECT_EQ(table->Map(), LoadBangMa(name).Map()) << Utf16ToUtf8(name);
  }
}

TEST(ServiceTables, SwitchingPicksFromTheLoadedSetAndAReloadReapplies) {
  // A method and a table that no file holds: only the loaded set can give them.
  auto mine = std::make_shared<ServiceTables>(*ServiceTables::Shared());
  CKieuGo q = *mine->FindMethod(u"Telex 2");
  q.Bindings.erase(u's');
  q.Bindings.emplace(u'q', KeyBinding::Function(FindFunctionIniName(u"DauSac")));
  mine->Methods.emplace(u"Thử", q);
  CBangMa digits;
  digits.Insert(u'á', u"a1");
  mine->CodeTables.emplace(u"Bảng thử", digits);

  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  service.SetTables(mine);
  service.SetTypingMethod(u"Thử");
  desk.TypeText(u"aq as ");
  EXPECT_EQ(Utf16ToUtf8(desk.Text()), "á as ");
  service.SetCodeTable(u"Bảng thử");
  desk.TypeText(u"aq");
  EXPECT_EQ(Utf16ToUtf8(desk.Text()), "á as a1");

  // The files' own set again: the chosen names are gone, so no key is bound
  // and the output is Unicode; the names are kept.
  service.SetTables(ServiceTables::Shared());
  desk.ClearText();
  desk.Click();
  desk.TypeText(u"aq as");
  EXPECT_EQ(Utf16ToUtf8(desk.Text()), "aq as");
  EXPECT_EQ(service.TypingMethod(), u"Thử");
  service.SetTypingMethod(u"Telex 2");
  desk.TypeText(u" as");
  EXPECT_EQ(Utf16ToUtf8(desk.Text()), "aq as á");
}

TEST(ServiceTables, TheChosenTableIsTheLoadedOneAndLivesWhileItIsUsed) {
  auto mine = std::make_shared<ServiceTables>(*ServiceTables::Shared());
  CBangMa digits;
  digits.Insert(u'á', u"a1");
  mine->CodeTables.emplace(u"Bảng thử", digits);
  const CBangMa* loaded = mine->FindCodeTable(u"Bảng thử");
  const std::weak_ptr<const ServiceTables> watch = mine;

  SimDesktop desk;
  CInputMethodService service(&desk);
  desk.InstallHooks(&service);
  service.SetTables(std::move(mine));
  service.SetCodeTable(u"Bảng thử");
  // Switching tables copies nothing: the typing context reads the loaded set.
  EXPECT_EQ(&service.Context().CodeTable(), loaded);
  service.SetCodeTable(u"Unicode");
  service.SetCodeTable(u"Bảng thử");
  EXPECT_EQ(&service.Context().CodeTable(), loaded);

  // Only the service holds the set now; a reload lets it go (the name
  // stands for no table any more, so the output is Unicode).
  desk.TypeText(u"as");
  EXPECT_EQ(Utf16ToUtf8(desk.Text()), "a1");
  service.SetTables(ServiceTables::Shared());
  EXPECT_TRUE(watch.expired()) << "the old set is kept after a reload";
  desk.TypeText(u" as");
  EXPECT_EQ(Utf16ToUtf8(desk.Text()), "a1 á");
}

}  // namespace
}  // namespace tavirel
