// Choosing the output code table and the loaded tables to choose from.
#include <memory>
#include <utility>

#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "service/ServiceTables.h"
#include "tables/CBangMa.h"

namespace tavirel {

void CInputMethodService::SetCodeTable(const std::u16string& name) {
  if (name == codeTable_) return;
  codeTable_ = name;
  ApplyCodeTable();
}

void CInputMethodService::ApplyCodeTable() {
  // "Unicode", and any name that is not a loaded table, is the identity.
  // The context points into the loaded set, which it keeps alive, instead
  // of copying the table: the set is never changed once loaded.
  const CBangMa* found = tables_->FindCodeTable(codeTable_);
  context_->SetCodeTable(found != nullptr ? std::shared_ptr<const CBangMa>(tables_, found) : nullptr);
  outputNeedsUnicode_ = IsWide(context_->CodeTable());
  RefreshRoads();
  // The text on screen is in the old table; editing it through the new one
  // would delete the wrong number of units.
  Reset();
}

void CInputMethodService::SetTables(std::shared_ptr<const ServiceTables> tables) {
  if (tables == nullptr) return;
  tables_ = std::move(tables);
  // The current names may stand for other contents now.
  ApplyTypingMethod();
  ApplyCodeTable();
}

}  // namespace tavirel
