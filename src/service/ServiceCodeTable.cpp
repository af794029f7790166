// Choosing the output code table.
#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"
#include "tables/CBangMa.h"

namespace tavirel {

void CInputMethodService::SetCodeTable(const std::u16string& name) {
  if (name == codeTable_) return;
  codeTable_ = name;
  const CBangMa table = LoadBangMa(name);
  context_->SetCodeTable(table.Map());
  outputNeedsUnicode_ = IsWide(table);
  // The text on screen is in the old table; editing it through the new one
  // would delete the wrong number of units.
  Reset();
}

}  // namespace tavirel
