#include "service/ServiceTables.h"

#include <mutex>

namespace tavirel {

const CKieuGo* ServiceTables::FindMethod(const std::u16string& name) const {
  const auto it = Methods.find(name);
  return it == Methods.end() ? nullptr : &it->second;
}

const CBangMa* ServiceTables::FindCodeTable(const std::u16string& name) const {
  const auto it = CodeTables.find(name);
  return it == CodeTables.end() ? nullptr : &it->second;
}

std::shared_ptr<const ServiceTables> ServiceTables::Load() {
  auto tables = std::make_shared<ServiceTables>();
  const CKieuGoRegistry& methods = KieuGoRegistry();
  for (const std::u16string& name : methods.GetTypingMethodNames()) {
    if (!tables->Methods.contains(name)) tables->Methods.emplace(name, methods.LoadKieuGo(name));
  }
  for (const std::u16string& name : CodeTableNames()) {
    if (name == u"Unicode" || tables->CodeTables.contains(name)) continue;
    tables->CodeTables.emplace(name, LoadBangMa(name));
  }
  return tables;
}

namespace {

std::mutex& SharedLock() {
  static std::mutex m;
  return m;
}

std::shared_ptr<const ServiceTables>& SharedSlot() {
  static std::shared_ptr<const ServiceTables> slot;
  return slot;
}

}  // namespace

std::shared_ptr<const ServiceTables> ServiceTables::Shared() {
  std::lock_guard lock(SharedLock());
  if (!SharedSlot()) SharedSlot() = Load();
  return SharedSlot();
}

std::shared_ptr<const ServiceTables> ServiceTables::Reload() {
  auto tables = Load();
  std::lock_guard lock(SharedLock());
  SharedSlot() = tables;
  return tables;
}

}  // namespace tavirel
