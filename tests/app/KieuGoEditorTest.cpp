// The typing-method editor without its window: whole editing sessions,
// saved to a real user file and read back the way the program reads it.
#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "app/KieuGoEditor.h"
#include "tables/CKieuGo.h"

namespace tavirel {
namespace {

using test::TempFolder;

CKieuGoEditor Open(const CKieuGoRegistry& files) {
  std::vector<CKieuGoEditor::Method> methods;
  for (const std::u16string& name : files.GetUserMethodNames()) methods.push_back({name, files.LoadKieuGo(name)});
  return CKieuGoEditor(std::move(methods), files.BuiltInMethodNames());
}

const KeyBinding kSac = KeyBinding::Function(FindFunctionIniName(u"DauSac"));

TEST(KieuGoEditor, MakeAMethodSaveItAndOpenAgain) {
  TempFolder dir;
  const CKieuGoRegistry files(KieuGoRegistry().BuiltInPath(), dir.File("KieuGo.ini"));
  ASSERT_FALSE(files.BuiltInMethodNames().empty());
  const std::u16string builtIn = files.BuiltInMethodNames().front();
  ASSERT_GE(kSac.function, 0);
  {
    CKieuGoEditor e = Open(files);
    const int m = e.AddMethod();
    EXPECT_EQ(e.Methods()[m].Name, u"Tên kiểu gõ");
    EXPECT_EQ(e.Rename(m, u"  Của tôi "), u"");
    e.Select(m);
    // s bound to the acute tone; S then finds no row (case counts), may be
    // added, and on saving the earlier row wins under s.
    e.SetKeyText(u"s");
    EXPECT_TRUE(e.CanAdd());
    EXPECT_TRUE(e.Add(kSac));
    EXPECT_FALSE(e.CanAdd());
    e.SetKeyText(u"S");
    EXPECT_TRUE(e.CanAdd());
    EXPECT_TRUE(e.Add(KeyBinding::Text(u"ß")));
    EXPECT_FALSE(e.Add(KeyBinding::Text(u"x")));  // the same key twice: refused
    // "=" and ";" are keys the file can hold.
    e.SetKeyText(u"=");
    EXPECT_TRUE(e.Add(KeyBinding::Text(u"đ; ")));
    e.SetKeyText(u" ");
    EXPECT_EQ(e.KeyText(), u"");
    EXPECT_FALSE(e.Add(kSac));
    e.SetKeyText(u"w");
    EXPECT_FALSE(e.Add(std::nullopt));  // nothing to bind
    // Loading a built-in method adds only the keys not yet bound.
    const CKieuGo loaded = files.LoadBuiltInKieuGo(builtIn);
    e.Load(loaded);
    ASSERT_TRUE(files.SaveUserMethods(e.ToSave()));
    const CKieuGo saved = files.LoadKieuGo(u"Của tôi");
    EXPECT_EQ(*saved.Find(u's'), kSac);
    EXPECT_EQ(*saved.Find(u'='), KeyBinding::Text(u"đ; "));
    for (const auto& [key, binding] : loaded) {
      if (key == u's' || key == u'=') continue;
      EXPECT_EQ(*saved.Find(key), binding) << static_cast<int>(key);
    }
  }
  // Opened again: the method is there with its rows in key order.
  CKieuGoEditor e = Open(files);
  ASSERT_EQ(e.Methods().size(), 1u);
  e.Select(0);
  for (size_t i = 1; i < e.Rows().size(); ++i) EXPECT_LT(e.Rows()[i - 1].Key, e.Rows()[i].Key);
  // Rows chosen in the list show their key; replacing keeps one row.
  e.SetKeyText(u"s");
  ASSERT_GE(e.SelectedRow(), 0);
  EXPECT_TRUE(e.CanReplace());
  EXPECT_TRUE(e.Replace(KeyBinding::Text(u"x")));
  EXPECT_EQ(e.Rows()[static_cast<size_t>(e.SelectedRow())].Binding, KeyBinding::Text(u"x"));
  e.DeleteAllRows();
  EXPECT_FALSE(e.CanReplace());
  EXPECT_TRUE(e.ToSave().at(u"Của tôi").empty());
}

TEST(KieuGoEditor, NamesTheFileCannotHoldAreRefusedWithTheReason) {
  CKieuGoEditor e({{u"A", {}}, {u"Việt", {}}}, {u"Telex 2", u"VNI"});
  EXPECT_NE(e.Rename(0, u"   "), u"");
  EXPECT_NE(e.Rename(0, u"a]b"), u"");
  EXPECT_NE(e.Rename(0, u"a\nb"), u"");
  EXPECT_NE(e.Rename(0, u"VIỆT"), u"");   // another user method, in other letters' case
  EXPECT_NE(e.Rename(0, u"telex 2"), u"");  // a built-in method would hide it
  EXPECT_EQ(e.Methods()[0].Name, u"A");
  EXPECT_EQ(e.Rename(1, u"việt"), u"");   // its own name in another case is fine
  // New methods never share a name.
  const int a = e.AddMethod();
  const int b = e.AddMethod();
  EXPECT_NE(e.Methods()[a].Name, e.Methods()[b].Name);
  EXPECT_EQ(e.ToSave().size(), e.Methods().size());
}

// Deleting the method being edited never writes its rows into another.
TEST(KieuGoEditor, DeletingTheCurrentMethodKeepsTheOthersIntact) {
  CKieuGo one;
  one.Add(u'a', KeyBinding::Text(u"1"));
  CKieuGo two;
  two.Add(u'b', KeyBinding::Text(u"2"));
  CKieuGoEditor e({{u"Một", one}, {u"Hai", two}, {u"Ba", {}}}, {});
  e.Select(0);
  e.SetKeyText(u"z");
  ASSERT_TRUE(e.Add(KeyBinding::Text(u"zz")));
  e.DeleteMethod(0);
  EXPECT_EQ(e.Current(), -1);
  EXPECT_TRUE(e.Rows().empty());
  EXPECT_FALSE(e.Add(KeyBinding::Text(u"y")));
  e.Select(1);  // "Ba"
  e.DeleteMethod(0);
  EXPECT_EQ(e.Current(), 0);
  EXPECT_EQ(e.Methods()[static_cast<size_t>(e.Current())].Name, u"Ba");
  const KieuGoMethods saved = e.ToSave();
  EXPECT_EQ(saved.size(), 1u);
  EXPECT_TRUE(saved.at(u"Ba").empty());
  EXPECT_FALSE(e.HasMethod(u"Một"));
}

}  // namespace
}  // namespace tavirel
