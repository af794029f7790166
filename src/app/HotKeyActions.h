#pragma once
// The user's hotkey actions (PhimTat.ini, the hotkey editor): eight kinds,
// created by their stored name. Each runs on the hook thread inside the
// keyboard callback: it changes the service in place, or hands a request to
// the user-interface thread (IShellRequests), and never reads a file or
// touches a window.
//
// The parameter of the three kinds that have one is edited by choosing from
// a list (ParamChoices); the Windows hotkey editor shows that list in its
// combo box.
#include <memory>
#include <string>
#include <vector>

#include "service/CHotKeyActionBase.h"

namespace tavirel {

class CHotKeyAction : public CHotKeyActionBase {
 public:
  using CHotKeyActionBase::CHotKeyActionBase;

  // The name stored in PhimTat.ini.
  virtual std::u16string GetName() const = 0;
  // The Vietnamese name shown to the user.
  virtual std::u16string GetDisplayName() const = 0;
  // Sets the parameter from its stored text.
  virtual void SetParam(const std::u16string& text) = 0;
  // The parameter's stored text.
  virtual std::u16string GetParam() const = 0;
  // The parameter as shown to the user.
  virtual std::u16string GetParamText() const { return GetParam(); }
  // What the parameter may be, as shown in the editor's list; empty for a
  // kind without parameter.
  virtual std::vector<std::u16string> ParamChoices() const { return {}; }
  // The entry of ParamChoices that shows the current parameter; -1 for none.
  virtual int ParamChoiceIndex() const { return -1; }
  // Takes the parameter from an entry of ParamChoices (out of range: none).
  virtual void SetParamFromChoice(int /*index*/) {}
};

class CNoParamHotKeyAction : public CHotKeyAction {
 public:
  using CHotKeyAction::CHotKeyAction;
  void SetParam(const std::u16string&) override {}
  std::u16string GetParam() const override { return {}; }
};

// A code table or typing method by name.
class CNamedParamHotKeyAction : public CHotKeyAction {
 public:
  using CHotKeyAction::CHotKeyAction;
  void SetParam(const std::u16string& text) override { param_ = text; }
  std::u16string GetParam() const override { return param_; }
  // The first choice that begins with the parameter, ignoring the case of
  // ASCII and Vietnamese letters; the first choice when none does.
  int ParamChoiceIndex() const override;
  void SetParamFromChoice(int index) override;

 protected:
  std::u16string param_;
};

class CChuyenBangMaHotKeyAction : public CNamedParamHotKeyAction {
 public:
  using CNamedParamHotKeyAction::CNamedParamHotKeyAction;
  bool Execute() override;
  std::u16string GetName() const override { return u"ChuyenBangMa"; }
  std::u16string GetDisplayName() const override { return u"Chuyển bảng mã"; }
  std::vector<std::u16string> ParamChoices() const override;
};

class CChuyenKieuGoHotKeyAction : public CNamedParamHotKeyAction {
 public:
  using CNamedParamHotKeyAction::CNamedParamHotKeyAction;
  bool Execute() override;
  std::u16string GetName() const override { return u"ChuyenKieuGo"; }
  std::u16string GetDisplayName() const override { return u"Chuyển kiểu gõ"; }
  std::vector<std::u16string> ParamChoices() const override;
};

// Switches one of eleven options on or off.
class CBatTatLuaChonHotKeyAction : public CHotKeyAction {
 public:
  static constexpr int kOptionCount = 11;
  // The names stored in PhimTat.ini, by option index. From index 3 on they
  // are shifted by one against the option toggled (index 3 is stored as
  // "GoTatNA" and toggles GoTatPAD, ...): files written by the program rely
  // on it. The twelfth name is never stored nor accepted.
  static const std::u16string_view kStoredNames[kOptionCount + 1];
  static const std::u16string_view kDisplayNames[kOptionCount];

  using CHotKeyAction::CHotKeyAction;
  bool Execute() override;
  std::u16string GetName() const override { return u"BatTatLuaChon"; }
  std::u16string GetDisplayName() const override { return u"Bật tắt các lựa chọn"; }
  // Exact match among the eleven stored names; anything else gives -1.
  void SetParam(const std::u16string& text) override;
  std::u16string GetParam() const override;
  std::u16string GetParamText() const override;
  std::vector<std::u16string> ParamChoices() const override;
  int ParamChoiceIndex() const override { return option_; }
  void SetParamFromChoice(int index) override;
  int Option() const { return option_; }

 private:
  int option_ = -1;
};

class CTaoTuGoTatHotKeyAction : public CNoParamHotKeyAction {
 public:
  using CNoParamHotKeyAction::CNoParamHotKeyAction;
  bool Execute() override;
  std::u16string GetName() const override { return u"TaoTuGoTat"; }
  std::u16string GetDisplayName() const override {
    return u"Tạo từ gõ tắt từ những ký tự trong Clipboard";
  }
};

// The master switch: all processing stops, the on/off state stays.
class CBatTatHotKeyAction : public CNoParamHotKeyAction {
 public:
  using CNoParamHotKeyAction::CNoParamHotKeyAction;
  bool Execute() override;
  std::u16string GetName() const override { return u"BatTat"; }
  std::u16string GetDisplayName() const override { return u"Bật tắt Tavirel ( kiểu 2 )"; }
};

class CSuspendSuggestionHotKeyAction : public CNoParamHotKeyAction {
 public:
  using CNoParamHotKeyAction::CNoParamHotKeyAction;
  bool Execute() override;
  std::u16string GetName() const override { return u"SuspendSuggestion"; }
  std::u16string GetDisplayName() const override { return u"Tạm dừng Gợi ý từ"; }
};

class CHienCuaSoChinhHotKeyAction : public CNoParamHotKeyAction {
 public:
  using CNoParamHotKeyAction::CNoParamHotKeyAction;
  bool Execute() override;
  std::u16string GetName() const override { return u"HienCuaSoChinh"; }
  std::u16string GetDisplayName() const override { return u"Hiện cửa sổ chính"; }
};

class CHienCuaSoChuyenMaHotKeyAction : public CNoParamHotKeyAction {
 public:
  using CNoParamHotKeyAction::CNoParamHotKeyAction;
  bool Execute() override;
  std::u16string GetName() const override { return u"HienCuaSoChuyenMa"; }
  std::u16string GetDisplayName() const override { return u"Hiện cửa sổ chuyển mã"; }
};

// The eight stored names, in the order the hotkey editor lists the kinds.
const std::vector<std::u16string>& ActionNames();
// A new action of the kind stored as name (exact, case-sensitive), bound to
// the service; null for any other name.
std::unique_ptr<CHotKeyAction> CreateAction(const std::u16string& name, CInputMethodService* service);

}  // namespace tavirel
