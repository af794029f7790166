#pragma once
// The typing methods and code tables the input service switches between,
// read from the two KieuGo.ini files and BangMa.ini in one go, off the hook
// thread. Choosing a method or a table by name (the setters, the hotkeys
// that switch them) then only picks one of these: nothing is read from a
// file inside the keyboard hook.
//
// A snapshot is immutable and shared. After the files changed (the user
// saved a typing method) the settings side reloads and hands the new
// snapshot to the service through its dispatcher:
//
//   auto tables = ServiceTables::Reload();
//   service.Dispatcher().Post([tables](CInputMethodService& s) { s.SetTables(tables); });
#include <map>
#include <memory>
#include <string>

#include "tables/CBangMa.h"
#include "tables/CKieuGo.h"

namespace tavirel {

struct ServiceTables {
  // Built-in then user methods by name; a built-in method hides a user
  // method of the same name.
  KieuGoMethods Methods;
  // Code tables by name; "Unicode" is the empty table and is not listed.
  std::map<std::u16string, CBangMa> CodeTables;

  // The method of that name, or null.
  const CKieuGo* FindMethod(const std::u16string& name) const;
  // The table of that name, or null ("Unicode" included).
  const CBangMa* FindCodeTable(const std::u16string& name) const;

  // Reads the files now.
  static std::shared_ptr<const ServiceTables> Load();
  // The process-wide snapshot, read at the first use.
  static std::shared_ptr<const ServiceTables> Shared();
  // Reads the files again and makes that the process-wide snapshot.
  static std::shared_ptr<const ServiceTables> Reload();
};

}  // namespace tavirel
